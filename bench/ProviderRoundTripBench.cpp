// One chat-completion round trip through OpenAICompatibleProvider against a
// loopback server, beside a plain libcurl request of the same bytes to the
// same server over one kept-alive easy handle. The provider should add at
// most 5 % to the raw request; the ratio is printed at the end, with the
// session's own share and the provider's work without any transport, so a
// miss can be put where it belongs.
#include "ChatServer.h"
#include "engine/OpenAICompatibleProvider.h"
#include "platform/http/HttpSession.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace quorvane;

const std::string systemPrompt(4000, 's');
const std::string userMessage = "Draft:\n" + std::string(1000, 'u');
const std::string model = "gpt-4o-mini";
const std::string reply =
    R"({"id":"c1","object":"chat.completion","choices":[{"index":0,"message":)"
    R"({"role":"assistant","content":")" +
    std::string(2000, 'r') + R"("},"finish_reason":"stop"}]})";

// The bytes the provider sends, written out by hand for the raw request.
const std::string requestBody =
    R"({"model":")" + model + R"(","messages":[{"role":"system","content":")" + systemPrompt +
    R"("},{"role":"user","content":"Draft:\n)" + std::string(1000, 'u') + R"("}],"stream":false})";

bench::ChatServer& server() {
    // A JSON type would make the server compress every reply, and
    // that cost would swamp the client-side work measured here.
    static bench::ChatServer instance([](const httplib::Request&, httplib::Response& res) {
        res.set_content(reply, "application/octet-stream");
    });
    return instance;
}

std::size_t collect(char* data, std::size_t size, std::size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

void providerRoundTrip(benchmark::State& state) {
    ProviderConfig config = ProviderConfig::config(ProviderID::openAI);
    config.baseURL = Url::parse(server().baseUrl());
    for (auto _ : state) {
        OpenAICompatibleProvider provider(config, "sk-bench", HttpSession::shared());
        benchmark::DoNotOptimize(provider.enhance(systemPrompt, userMessage, model, {}));
    }
}

void rawCurlRoundTrip(benchmark::State& state) {
    CURL* curl = curl_easy_init();
    const std::string url = server().baseUrl() + "/chat/completions";
    curl_slist* headers = curl_slist_append(nullptr, "content-type: application/json");
    headers = curl_slist_append(headers, "Authorization: Bearer sk-bench");
    headers = curl_slist_append(headers, "Expect:");
    std::string body;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, requestBody.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(requestBody.size()));
    // The session also asks for compressed replies and names itself.
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Quorvane/bench");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    for (auto _ : state) {
        body.clear();
        if (curl_easy_perform(curl) != CURLE_OK) {
            state.SkipWithError("raw request failed");
            break;
        }
        benchmark::DoNotOptimize(body);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
}

void sessionRoundTrip(benchmark::State& state) {
    const HttpRequest request{
        .method = "POST",
        .url = server().baseUrl() + "/chat/completions",
        .headers = {{"content-type", "application/json"}, {"Authorization", "Bearer sk-bench"}},
        .body = requestBody,
        .timeout = std::chrono::seconds(60),
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(HttpSession::shared().send(request, {}));
    }
}

// The provider's own work (request body, reply parsing) with a session that
// answers at once: what the provider adds on top of any transport.
class InstantSession : public HttpSession {
public:
    HttpResponse send(const HttpRequest&, std::stop_token) override {
        return HttpResponse{.statusCode = 200, .headers = {}, .body = reply};
    }
};

void providerWithoutTransport(benchmark::State& state) {
    ProviderConfig config = ProviderConfig::config(ProviderID::openAI);
    config.baseURL = Url::parse(server().baseUrl());
    InstantSession session;
    for (auto _ : state) {
        OpenAICompatibleProvider provider(config, "sk-bench", session);
        benchmark::DoNotOptimize(provider.enhance(systemPrompt, userMessage, model, {}));
    }
}

BENCHMARK(providerWithoutTransport);
BENCHMARK(sessionRoundTrip)->UseRealTime();
BENCHMARK(providerRoundTrip)->UseRealTime();
BENCHMARK(rawCurlRoundTrip)->UseRealTime();

// Prints the usual table, then the provider's time over the raw request's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_repetitions the median stands for the run, which
        // keeps a busy machine's outliers out of the ratio.
        for (const auto& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const auto& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                perIteration_[name] = run.GetAdjustedRealTime();
                medians_.insert(name);
            } else if (run.run_type == Run::RT_Iteration && !medians_.contains(name)) {
                perIteration_[name] = run.GetAdjustedRealTime();
            }
        }
    }

    void printRatios() const {
        printRatio("provider/raw ratio", "providerRoundTrip");
        printRatio("session/raw ratio", "sessionRoundTrip");
    }

private:
    void printRatio(const char* label, const std::string& measured) const {
        const auto found = perIteration_.find(measured);
        const auto raw = perIteration_.find("rawCurlRoundTrip");
        if (found == perIteration_.end() || raw == perIteration_.end() || raw->second <= 0) {
            std::printf("%s: unavailable\n", label);
            return;
        }
        std::printf("%s: %.3f\n", label, found->second / raw->second);
    }

    std::map<std::string, double> perIteration_;
    std::set<std::string> medians_;
};

} // namespace

int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
