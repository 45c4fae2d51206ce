#include "platform/crashreport/SentryEvent.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>

namespace quorvane {
namespace {

using nlohmann::json;

const SentryEventContext context{"1.4.2", OsRelease{"Debian GNU/Linux", "12"}};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    result.push_back(text.substr(start));
    return result;
}

// What must never be in an event: who the user is or where the program runs.
void expectNoPersonalData(const json& event) {
    for (const char* key : {"user", "server_name", "request", "breadcrumbs", "tags", "extra"}) {
        EXPECT_FALSE(event.contains(key)) << key;
    }
    EXPECT_EQ(event["sdk"]["settings"]["infer_ip"], "never");
    EXPECT_FALSE(event["contexts"].contains("device"));
}

TEST(SentryEventTest, MessageEventCarriesTheTextAndTheProgramsDescription) {
    const auto time = SentryEvent::Clock::time_point(std::chrono::milliseconds(1714555800250));
    const auto event = SentryEvent::message("Quorvane DSN wiring test", context, time);
    const auto payload = json::parse(event.payload());

    EXPECT_TRUE(std::regex_match(event.eventId(), std::regex("[0-9a-f]{32}")));
    EXPECT_EQ(payload["event_id"], event.eventId());
    EXPECT_EQ(payload["timestamp"], "2024-05-01T09:30:00.250Z");
    EXPECT_EQ(payload["platform"], "native");
    EXPECT_EQ(payload["level"], "info");
    EXPECT_EQ(payload["logentry"], json({{"formatted", "Quorvane DSN wiring test"}}));
    EXPECT_FALSE(payload.contains("exception"));
    EXPECT_EQ(payload["sdk"]["name"], "quorvane");
    EXPECT_EQ(payload["sdk"]["version"], "1.4.2");
    EXPECT_EQ(payload["release"], "quorvane@1.4.2");
    EXPECT_EQ(payload["environment"], "production");
    EXPECT_EQ(payload["contexts"]["os"], json({{"name", "Debian GNU/Linux"}, {"version", "12"}}));
    expectNoPersonalData(payload);
    EXPECT_NE(SentryEvent::message("x", context).eventId(), event.eventId());
}

TEST(SentryEventTest, ErrorEventIsAHandledExceptionOfTypeAndValue) {
    const auto event = SentryEvent::error({"ProviderError", "missing_api_key"}, context);
    const auto payload = json::parse(event.payload());

    EXPECT_EQ(payload["level"], "error");
    EXPECT_FALSE(payload.contains("logentry"));
    const json expected = {{"type", "ProviderError"},
                           {"value", "missing_api_key"},
                           {"mechanism", {{"type", "generic"}, {"handled", true}}}};
    EXPECT_EQ(payload["exception"]["values"], json::array({expected}));
    expectNoPersonalData(payload);
}

TEST(SentryEventTest, CrashEventIsAFatalSignalWithItsFramesAndDebugImages) {
    CrashRecord record;
    record.signal = 11;
    record.time = SentryEvent::Clock::time_point(std::chrono::milliseconds(1714555800250));
    record.release = "1.3.0"; // the crashed build, not the one reporting it
    record.frames = {0x55d0c0003cde, 0x55d0c0003d00, 0x7f0000045305};
    record.images = {
        {0x55d0c0000000, 0x12000, "d100ffcbf1f3047677a0a8f12d70fe84089bc1f3", "quorvane"},
        {0x7f0000000000, 0x1e2000, "", "/usr/lib/libnoid.so"}};

    const auto payload = json::parse(SentryEvent::crash(record, context).payload());

    EXPECT_EQ(payload["level"], "fatal");
    EXPECT_EQ(payload["timestamp"], "2024-05-01T09:30:00.250Z");
    EXPECT_EQ(payload["release"], "quorvane@1.3.0");
    EXPECT_EQ(payload["platform"], "native");
    const auto& exception = payload["exception"]["values"][0];
    EXPECT_EQ(exception["type"], "SIGSEGV");
    EXPECT_EQ(exception["value"], "Segmentation fault");
    EXPECT_EQ(exception["mechanism"],
              json({{"type", "signalhandler"},
                    {"handled", false},
                    {"synthetic", true},
                    {"meta", {{"signal", {{"number", 11}, {"name", "SIGSEGV"}}}}}}));
    // Outermost caller first, the faulting instruction last.
    EXPECT_EQ(exception["stacktrace"]["frames"],
              json::parse(R"([{"instruction_addr": "0x7f0000045305"},
                              {"instruction_addr": "0x55d0c0003d00"},
                              {"instruction_addr": "0x55d0c0003cde"}])"));
    EXPECT_EQ(payload["debug_meta"]["images"],
              json::array({{{"type", "elf"},
                            {"code_file", "quorvane"},
                            {"code_id", "d100ffcbf1f3047677a0a8f12d70fe84089bc1f3"},
                            {"debug_id", "cbff00d1-f3f1-7604-77a0-a8f12d70fe84"},
                            {"image_addr", "0x55d0c0000000"},
                            {"image_size", 0x12000}}}))
        << "an image without a build id cannot be symbolicated and is left out";
    expectNoPersonalData(payload);
}

TEST(SentryEventTest, DebugIdsAreTheBuildIdsFirstSixteenBytesAsALittleEndianGuid) {
    EXPECT_EQ(SentryEvent::debugId("000102030405060708090a0b0c0d0e0f1011"),
              "03020100-0504-0706-0809-0a0b0c0d0e0f");
    EXPECT_EQ(SentryEvent::debugId("0a1b2c3d"), "3d2c1b0a-0000-0000-0000-000000000000");
}

TEST(SentryEventTest, EnvelopeIsHeaderItemAndPayloadOnThreeLines) {
    // Multi-byte text: the item length counts bytes, not characters.
    const auto event = SentryEvent::message("Grüße — \"quoted\"\nsecond line", context);
    const auto sentAt = SentryEvent::Clock::time_point(std::chrono::seconds(1700000000));
    const auto parts = lines(event.envelope(sentAt));

    ASSERT_EQ(parts.size(), 3u);
    const auto header = json::parse(parts[0]);
    EXPECT_EQ(header, json({{"event_id", event.eventId()},
                            {"sent_at", "2023-11-14T22:13:20.000Z"},
                            {"sdk", {{"name", "quorvane"}, {"version", "1.4.2"}}}}));
    EXPECT_EQ(json::parse(parts[1]), json({{"type", "event"},
                                           {"length", event.payload().size()},
                                           {"content_type", "application/json"}}));
    EXPECT_EQ(parts[2], event.payload());
    EXPECT_EQ(json::parse(parts[2])["logentry"]["formatted"], "Grüße — \"quoted\"\nsecond line");
}

TEST(SentryEventTest, MalformedTextStillMakesAnEvent) {
    const auto event = SentryEvent::message(std::string("bad \xff\xfe bytes"), context);
    const auto payload = json::parse(event.payload());
    EXPECT_EQ(payload["logentry"]["formatted"], "bad \xEF\xBF\xBD\xEF\xBF\xBD bytes");
}

TEST(SentryEventTest, TimestampsAreUtcWithMilliseconds) {
    using namespace std::chrono;
    EXPECT_EQ(SentryEvent::rfc3339(SentryEvent::Clock::time_point(milliseconds(0))),
              "1970-01-01T00:00:00.000Z");
    EXPECT_EQ(SentryEvent::rfc3339(SentryEvent::Clock::time_point(milliseconds(951782400999))),
              "2000-02-29T00:00:00.999Z");
}

} // namespace
} // namespace quorvane
