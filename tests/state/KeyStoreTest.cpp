#include "state/KeyStore.h"

#include "platform/crypto/AesGcm.h"
#include "support/AsNobody.h"
#include "support/LogCapture.h"
#include "support/ScopedEnvironmentVariable.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::LogCapture;
using Bytes = std::vector<std::uint8_t>;

const std::string decryptFailed =
    "KeyStore: decrypt failed (corrupt, or written on another machine)";

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

unsigned modeOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class KeyStoreTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::path(std::getenv("TMPDIR")) /
                testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(root_);
        directory_ = root_ / "data" / "Quorvane";
        std::ofstream(root_ / "machine-id") << "0123456789abcdef0123456789abcdef\n";
        std::ofstream(root_ / "other-machine-id") << "fedcba9876543210fedcba9876543210\n";
    }

    DeviceKey deviceKey(const std::string& machineFile = "machine-id") const {
        return DeviceKey(HostIdentity({root_ / machineFile}));
    }

    KeyStore store() const { return KeyStore(directory_, deviceKey()); }

    fs::path file() const { return directory_ / "keys.enc"; }

    Bytes fileBytes() const {
        std::ifstream in(file(), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    void writeFile(const Bytes& bytes) const {
        std::ofstream(file(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    // The file as another implementation would read it: open the box with
    // the device key and parse the JSON.
    nlohmann::json plaintext() const {
        const auto opened = AesGcm::open(deviceKey().derive()->bytes(), fileBytes());
        EXPECT_TRUE(opened);
        if (!opened) {
            return nullptr;
        }
        return nlohmann::json::parse(opened->bytes().begin(), opened->bytes().end());
    }

    Bytes sealed(const std::string& text, const std::string& machineFile = "machine-id") const {
        return *AesGcm::seal(deviceKey(machineFile).derive()->bytes(), bytesOf(text));
    }

    fs::path root_;
    fs::path directory_;
    LogCapture logs_;
};

TEST_F(KeyStoreTest, AFreshInstallationHasNoKeysUntilTheFirstSave) {
    const KeyStore keys = store();
    EXPECT_EQ(keys.fileURL(), file());
    EXPECT_EQ(modeOf(directory_), 0700u);
    EXPECT_EQ(modeOf(directory_.parent_path()), 0700u);
    EXPECT_FALSE(fs::exists(file()));

    for (const ProviderID id : allCases<ProviderID>()) {
        EXPECT_FALSE(keys.key(id)) << rawValue(id);
    }
    EXPECT_TRUE(logs_.records().empty());

    EXPECT_TRUE(keys.setKey("sk-ant-1", ProviderID::anthropic));
    EXPECT_EQ(modeOf(file()), 0600u);
    // The temporary file of the atomic write is gone; the lock file of the saves stays.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".keys.enc.lock", "keys.enc"}));
    EXPECT_EQ(modeOf(directory_ / ".keys.enc.lock"), 0600u);
}

TEST_F(KeyStoreTest, KeysAreStoredTrimmedUnderTheirProviderNames) {
    const KeyStore keys = store();
    EXPECT_TRUE(keys.setKey("  sk-ant-1 \n", ProviderID::anthropic));
    EXPECT_TRUE(keys.setKey("\tsk-oai-2\r\n", ProviderID::openAI));
    EXPECT_TRUE(keys.setKey("ollama-key", ProviderID::ollama));

    EXPECT_EQ(keys.key(ProviderID::anthropic), "sk-ant-1");
    EXPECT_EQ(keys.key(ProviderID::openAI), "sk-oai-2");
    EXPECT_FALSE(keys.key(ProviderID::groq));
    // A second store over the same file, as the key resolver holds one.
    EXPECT_EQ(store().key(ProviderID::ollama), "ollama-key");

    EXPECT_EQ(plaintext(),
              nlohmann::json::parse(
                  R"({"anthropic":"sk-ant-1","openAI":"sk-oai-2","ollama":"ollama-key"})"));
    EXPECT_TRUE(logs_.records().empty());
}

TEST_F(KeyStoreTest, ABlankKeyRemovesTheEntryAndStillRewritesTheFile) {
    const KeyStore keys = store();
    keys.setKey("sk-ant-1", ProviderID::anthropic);
    keys.setKey("sk-groq", ProviderID::groq);

    EXPECT_TRUE(keys.setKey(" \n\t", ProviderID::anthropic));
    EXPECT_FALSE(keys.key(ProviderID::anthropic));
    EXPECT_EQ(keys.key(ProviderID::groq), "sk-groq");

    const Bytes before = fileBytes();
    EXPECT_TRUE(keys.setKey("", ProviderID::groq));
    EXPECT_NE(fileBytes(), before);
    EXPECT_EQ(plaintext(), nlohmann::json::object());

    // Removing what is not there rewrites too.
    const Bytes empty = fileBytes();
    EXPECT_TRUE(keys.setKey("", ProviderID::openAI));
    EXPECT_NE(fileBytes(), empty);
    EXPECT_EQ(plaintext(), nlohmann::json::object());
}

TEST_F(KeyStoreTest, EverySaveSealsUnderAFreshNonce) {
    const KeyStore keys = store();
    keys.setKey("sk-ant-1", ProviderID::anthropic);
    const Bytes first = fileBytes();
    keys.setKey("sk-ant-1", ProviderID::anthropic);
    const Bytes second = fileBytes();

    ASSERT_EQ(first.size(), second.size());
    EXPECT_NE(Bytes(first.begin(), first.begin() + 12), Bytes(second.begin(), second.begin() + 12));
    EXPECT_EQ(keys.key(ProviderID::anthropic), "sk-ant-1");
    writeFile(first);
    EXPECT_EQ(keys.key(ProviderID::anthropic), "sk-ant-1");
}

TEST_F(KeyStoreTest, AStoredEntryOfOnlyWhiteSpaceReadsAsAbsent) {
    const KeyStore keys = store();
    writeFile(sealed(R"({"anthropic":"  \n","openAI":" sk-oai "})"));

    EXPECT_FALSE(keys.key(ProviderID::anthropic));
    EXPECT_EQ(keys.key(ProviderID::openAI), "sk-oai");
    EXPECT_TRUE(logs_.records().empty());
}

class KeyStoreUnreadableFileTest : public KeyStoreTest,
                                   public testing::WithParamInterface<std::string> {
protected:
    // Each kind is made from a valid box of {"anthropic":"sk-ant-1"}.
    Bytes unreadable(const std::string& kind) const {
        const Bytes valid = sealed(R"({"anthropic":"sk-ant-1"})");
        if (kind == "short") {
            return Bytes(valid.begin(), valid.begin() + 27);
        }
        if (kind == "flippedBit") {
            Bytes flipped = valid;
            flipped[14] ^= 0x04;
            return flipped;
        }
        if (kind == "otherMachine") {
            return sealed(R"({"anthropic":"sk-ant-1"})", "other-machine-id");
        }
        if (kind == "notJson") {
            return sealed("anthropic=sk-ant-1");
        }
        if (kind == "notAnObject") {
            return sealed(R"(["sk-ant-1"])");
        }
        return sealed(R"({"anthropic":"sk-ant-1","openAI":42})"); // a member that is not text
    }
};

TEST_P(KeyStoreUnreadableFileTest, LogsOncePerLoadAndReadsAsNoKeys) {
    const KeyStore keys = store();
    const Bytes bytes = unreadable(GetParam());
    writeFile(bytes);

    EXPECT_FALSE(keys.key(ProviderID::anthropic));
    EXPECT_FALSE(keys.key(ProviderID::openAI));
    const LogCapture::Record expected{"app", LogChannel::Level::error, decryptFailed};
    EXPECT_EQ(logs_.records(), (std::vector<LogCapture::Record>{expected, expected}));
    EXPECT_EQ(fileBytes(), bytes);

    // The next save replaces the file with only the key just set, but keeps
    // the unreadable one beside it, byte for byte, so its keys are not lost.
    EXPECT_TRUE(keys.setKey("sk-groq", ProviderID::groq));
    EXPECT_EQ(plaintext(), nlohmann::json::parse(R"({"groq":"sk-groq"})"));
    const auto kept = keys.fileURL().string() + ".unreadable";
    std::ifstream in(kept, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), bytes);

    // A second unreadable file does not overwrite the first one kept.
    writeFile(bytes);
    EXPECT_TRUE(keys.setKey("sk-groq-2", ProviderID::groq));
    EXPECT_TRUE(std::filesystem::exists(kept + "-2"));
}

INSTANTIATE_TEST_SUITE_P(Files, KeyStoreUnreadableFileTest,
                         testing::Values("short", "flippedBit", "otherMachine", "notJson",
                                         "notAnObject", "nonTextMember"),
                         [](const auto& info) { return info.param; });

TEST_F(KeyStoreTest, AFileThatCannotBeReadGivesNoKeysSilently) {
    const KeyStore keys = store();
    fs::create_directory(file());

    EXPECT_FALSE(keys.key(ProviderID::anthropic));
    EXPECT_TRUE(logs_.records().empty());
}

TEST_F(KeyStoreTest, AFileThatMayNotBeReadIsKeptAsideInsteadOfOverwritten) {
    const KeyStore keys = store();
    const Bytes bytes = sealed(R"({"anthropic":"sk-ant-1"})");
    writeFile(bytes);
    ::chmod(file().c_str(), 0);
    // Every directory on the way is private to us, but must let nobody pass.
    const fs::path home = fs::path(std::getenv("TMPDIR")).parent_path();
    for (const fs::path& way : {home, directory_.parent_path()}) {
        ::chmod(way.c_str(), 0711);
    }
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(directory_.c_str(), test::AsNobody::nobody, test::AsNobody::nobody), 0);
    }
    {
        const test::AsNobody reader;
        struct stat status {};
        if (::stat(directory_.c_str(), &status) != 0) {
            GTEST_SKIP() << "nobody cannot reach " << directory_
                         << ": a directory above TMPDIR is private";
        }
        EXPECT_FALSE(keys.key(ProviderID::anthropic));
        EXPECT_TRUE(logs_.records().empty()) << "a file we may not read is not logged";
        EXPECT_TRUE(keys.setKey("sk-groq", ProviderID::groq));
        EXPECT_EQ(keys.key(ProviderID::groq), "sk-groq");
    }
    ::chmod(home.c_str(), 0700);

    std::ifstream in(keys.fileURL().string() + ".unreadable", std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), bytes);
}

TEST_F(KeyStoreTest, SomethingOtherThanAFileIsNeitherWaitedOnNorOverwritten) {
    const KeyStore keys = store();
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    auto read = std::async(std::launch::async, [&] { return keys.key(ProviderID::anthropic); });
    if (read.wait_for(5s) != std::future_status::ready) {
        // Opens the other end, so that the reader stops waiting and the test can end.
        ::close(::open(file().c_str(), O_WRONLY | O_NONBLOCK));
        FAIL() << "the key store waits for a writer to a FIFO";
    }
    EXPECT_FALSE(read.get());

    EXPECT_TRUE(keys.setKey("sk-groq", ProviderID::groq));
    EXPECT_EQ(keys.key(ProviderID::groq), "sk-groq");
    EXPECT_TRUE(fs::is_fifo(keys.fileURL().string() + ".unreadable"));
}

TEST_F(KeyStoreTest, AFileFarLargerThanAnyKeyFileIsNotReadWhole) {
    const KeyStore keys = store();
    // A well-formed box, but over a megabyte: no key file of ours is that large.
    writeFile(sealed(R"({"anthropic":")" + std::string(1 << 20, 'k') + R"("})"));

    EXPECT_FALSE(keys.key(ProviderID::anthropic));
    EXPECT_EQ(logs_.messages("app"), std::vector<std::string>{decryptFailed});

    // Nor is such a file written: the old one stays.
    keys.setKey("sk-ant-1", ProviderID::anthropic);
    const Bytes before = fileBytes();
    EXPECT_FALSE(keys.setKey(std::string(1 << 20, 'k'), ProviderID::openAI));
    EXPECT_EQ(fileBytes(), before);
}

// A save killed mid-way leaves its temporary, a whole sealed copy of the old
// keys; the next save removes it.
TEST_F(KeyStoreTest, TheNextSaveRemovesTemporariesAKilledSaveLeft) {
    const KeyStore keys = store();
    keys.setKey("sk-ant-1", ProviderID::anthropic);
    const fs::path stale = directory_ / ".keys.enc.Zq81Xa";
    std::ofstream(stale, std::ios::binary) << "sealed copy of old keys";

    EXPECT_TRUE(keys.setKey("sk-groq", ProviderID::groq));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_EQ(keys.key(ProviderID::anthropic), "sk-ant-1");
}

TEST_F(KeyStoreTest, AFailedWriteIsLoggedAndReportedWithTheSystemsReason) {
    const KeyStore keys = store();
    fs::remove_all(directory_);

    EXPECT_FALSE(keys.setKey("sk-ant-1", ProviderID::anthropic));
    EXPECT_EQ(logs_.records(), (std::vector<LogCapture::Record>{
                                   {"app", LogChannel::Level::error,
                                    "KeyStore save failed: No such file or directory"}}));
}

TEST_F(KeyStoreTest, AKeyThatCannotBeEncodedLeavesTheOldFile) {
    const KeyStore keys = store();
    keys.setKey("sk-ant-1", ProviderID::anthropic);
    const Bytes before = fileBytes();

    EXPECT_FALSE(keys.setKey("sk-\xff\xfe", ProviderID::openAI));
    EXPECT_EQ(logs_.messages("app"), std::vector<std::string>{"KeyStore: encryption failed"});
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(keys.key(ProviderID::anthropic), "sk-ant-1");
}

TEST_F(KeyStoreTest, NeverLogsAKey) {
    const KeyStore keys = store();
    keys.setKey("sk-secret-1", ProviderID::anthropic);
    keys.key(ProviderID::anthropic);
    writeFile({1, 2, 3});
    keys.key(ProviderID::anthropic);
    keys.setKey("sk-secret-2", ProviderID::openAI);
    fs::remove_all(directory_);
    keys.setKey("sk-secret-3", ProviderID::groq);

    ASSERT_FALSE(logs_.records().empty());
    for (const auto& record : logs_.records()) {
        EXPECT_EQ(record.message.find("sk-secret"), std::string::npos) << record.message;
    }
}

TEST_F(KeyStoreTest, TheDefaultLocationFollowsTheDataHome) {
    const fs::path home = std::getenv("HOME");
    {
        const test::ScopedEnvironmentVariable data("XDG_DATA_HOME", (root_ / "xdg").string());
        const KeyStore keys(std::nullopt, deviceKey());
        EXPECT_EQ(keys.fileURL(), root_ / "xdg" / "Quorvane" / "keys.enc");
        EXPECT_EQ(modeOf(root_ / "xdg" / "Quorvane"), 0700u);
    }
    using Value = std::optional<std::string>;
    for (const Value& unusable : {Value(), Value(""), Value("relative/data")}) {
        const test::ScopedEnvironmentVariable data("XDG_DATA_HOME", unusable);
        EXPECT_EQ(KeyStore::defaultDirectory(), home / ".local" / "share" / "Quorvane");
    }
}

} // namespace
} // namespace quorvane
