// One chat-completion round trip through OpenAICompatibleProvider against a
// loopback server, beside a plain libcurl request of the same bytes to the
// same server over one kept-alive easy handle, and beside the bare session.
// The provider should add at most 5 % to the raw request.
//
// On a shared machine the time of a loopback round trip drifts by more than
// that from one run to the next, and a single stalled request moves a run's
// mean, so the three round trips are not timed in runs of their own: they are
// sent in turn, one request each, many times over, so that whatever the
// machine does meanwhile falls on all three alike, and the medians of their
// times are compared. The server (FixedReplyServer) answers in one write from
// one thread, so that neither client is favoured by how the server writes or
// where the scheduler puts it. The ratio is printed with its target, beside the
// session's own share; the benchmark table before it holds the provider's
// work without any transport, so a miss can be put where it belongs. The exit
// status is 1 when the target is missed.
#include "FixedReplyServer.h"
#include "engine/OpenAICompatibleProvider.h"
#include "platform/http/HttpSession.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace quorvane;

// The most the provider may add to a plain libcurl request of the same bytes.
constexpr double ratioTarget = 1.05;

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

bench::FixedReplyServer& server() {
    static bench::FixedReplyServer instance(reply);
    return instance;
}

std::size_t collect(char* data, std::size_t size, std::size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// A plain libcurl request of the provider's bytes on one kept-alive easy handle.
class RawRequest {
public:
    RawRequest()
        : curl_(curl_easy_init())
        , url_(server().baseUrl() + "/chat/completions") {
        headers_ = curl_slist_append(nullptr, "content-type: application/json");
        headers_ = curl_slist_append(headers_, "Authorization: Bearer sk-bench");
        headers_ = curl_slist_append(headers_, "Expect:");
        curl_easy_setopt(curl_, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, requestBody.data());
        curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE, static_cast<long>(requestBody.size()));
        // The session also asks for compressed replies and names itself.
        curl_easy_setopt(curl_, CURLOPT_ACCEPT_ENCODING, "");
        curl_easy_setopt(curl_, CURLOPT_USERAGENT, "Quorvane/bench");
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &body_);
    }
    ~RawRequest() {
        curl_slist_free_all(headers_);
        curl_easy_cleanup(curl_);
    }
    RawRequest(const RawRequest&) = delete;
    RawRequest& operator=(const RawRequest&) = delete;

    bool send() {
        body_.clear();
        return curl_easy_perform(curl_) == CURLE_OK;
    }
    const std::string& body() const { return body_; }

private:
    CURL* curl_;
    std::string url_;
    curl_slist* headers_ = nullptr;
    std::string body_;
};

HttpRequest sessionRequest() {
    return HttpRequest{
        .method = "POST",
        .url = server().baseUrl() + "/chat/completions",
        .headers = {{"content-type", "application/json"}, {"Authorization", "Bearer sk-bench"}},
        .body = requestBody,
        .timeout = std::chrono::seconds(60),
    };
}

ProviderConfig providerConfig() {
    ProviderConfig config = ProviderConfig::config(ProviderID::openAI);
    config.baseURL = Url::parse(server().baseUrl());
    return config;
}

std::string providerRequest(const ProviderConfig& config, HttpSession& session) {
    OpenAICompatibleProvider provider(config, "sk-bench", session);
    return provider.enhance(systemPrompt, userMessage, model, {});
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
    const ProviderConfig config = providerConfig();
    InstantSession session;
    for (auto _ : state) {
        benchmark::DoNotOptimize(providerRequest(config, session));
    }
}

BENCHMARK(providerWithoutTransport);

// The median times of the three round trips, sent in turn.
struct Medians {
    double raw = 0;
    double session = 0;
    double provider = 0;
};

double median(std::vector<double> samples) {
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

// One request of each kind per round, the order turned every round. The
// first rounds only warm up connections and caches.
std::optional<Medians> interleavedMedians(int rounds) {
    using Clock = std::chrono::steady_clock;
    constexpr int warmUp = 200;
    RawRequest raw;
    const HttpRequest request = sessionRequest();
    const ProviderConfig config = providerConfig();
    std::array<std::vector<double>, 3> samples;
    for (auto& kind : samples) {
        kind.reserve(static_cast<std::size_t>(rounds));
    }
    const std::array<std::function<bool()>, 3> send = {
        [&] { return raw.send(); },
        [&] { return HttpSession::shared().send(request, {}).statusCode == 200; },
        [&] { return !providerRequest(config, HttpSession::shared()).empty(); },
    };
    for (int round = 0; round < warmUp + rounds; ++round) {
        for (std::size_t turn = 0; turn < send.size(); ++turn) {
            const std::size_t kind = (turn + static_cast<std::size_t>(round)) % send.size();
            const auto start = Clock::now();
            if (!send[kind]()) {
                return std::nullopt;
            }
            const std::chrono::duration<double, std::micro> took = Clock::now() - start;
            if (round >= warmUp) {
                samples[kind].push_back(took.count());
            }
        }
    }
    return Medians{median(samples[0]), median(samples[1]), median(samples[2])};
}

// Prints the medians and both ratios; true when the provider's meets its target.
bool reportRatios(const std::optional<Medians>& medians, int rounds) {
    if (!medians || medians->raw <= 0) {
        std::printf("provider/raw ratio: unavailable, a request failed (target <= %.2f): MISSED\n",
                    ratioTarget);
        return false;
    }
    std::printf("median round trip over %d interleaved rounds, microseconds: raw %.1f, "
                "session %.1f, provider %.1f\n",
                rounds, medians->raw, medians->session, medians->provider);
    std::printf("session/raw ratio: %.3f (the session alone, part of the provider's)\n",
                medians->session / medians->raw);
    const double ratio = medians->provider / medians->raw;
    const bool met = ratio <= ratioTarget;
    std::printf("provider/raw ratio: %.3f (target <= %.2f)%s\n", ratio, ratioTarget,
                met ? "" : ": MISSED");
    return met;
}

} // namespace

int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    constexpr int rounds = 20000;
    return reportRatios(interleavedMedians(rounds), rounds) ? 0 : 1;
}
