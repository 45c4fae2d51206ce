#include "DefaultsDomain.h"

#include "platform/files/FileLock.h"

#include <utility>

namespace quorvane {

namespace {

using Notice = UserDefaults::Notice;

std::mutex reporterMutex;
UserDefaults::Reporter reporter;

std::filesystem::path siblingOf(const std::filesystem::path& file, const std::string& suffix) {
    if (file.empty()) {
        return {};
    }
    return file.parent_path() / ("." + file.filename().string() + suffix);
}

} // namespace

DefaultsDomain::DefaultsDomain(std::filesystem::path file)
    : file_(std::move(file))
    , lockFile_(siblingOf(file_, ".lock")) {
    if (file_.empty()) {
        return;
    }
    std::lock_guard lock(mutex_);
    const Reading first = read(file_);
    if (first.kind != Reading::Kind::unparsable) {
        adopt(first);
        return;
    }
    // Read again and moved aside with the file's lock held, so that what is moved is never
    // another process's fresh save.
    const FileLock fileLock(lockFile_);
    adopt(fileLock.held() ? read(file_) : first);
}

void DefaultsDomain::setReporter(UserDefaults::Reporter newReporter) {
    std::lock_guard lock(reporterMutex);
    reporter = std::move(newReporter);
}

void DefaultsDomain::tell(const Notice& notice) {
    std::lock_guard lock(reporterMutex);
    if (reporter) {
        reporter(notice);
    }
}

std::error_code DefaultsDomain::set(std::string_view key, Json value) {
    std::lock_guard lock(mutex_);
    pending_[std::string(key)] = std::move(value);
    return save();
}

std::error_code DefaultsDomain::erase(std::string_view key) {
    std::lock_guard lock(mutex_);
    refresh();
    const std::string name(key);
    if (lookUp(name) == nullptr) {
        return {};
    }
    pending_[name] = std::nullopt;
    return save();
}

std::error_code DefaultsDomain::copy(std::string_view from, std::string_view to) {
    std::lock_guard lock(mutex_);
    refresh();
    const Json* value = lookUp(std::string(from));
    if (value == nullptr) {
        return {};
    }
    pending_[std::string(to)] = *value;
    return save();
}

void DefaultsDomain::removeFile() {
    std::lock_guard lock(mutex_);
    stored_ = Json::object();
    pending_.clear();
    unparsed_ = false;
    if (file_.empty() || readOnly_) {
        return;
    }
    const FileLock fileLock(lockFile_);
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
    seen_.reset();
}

bool DefaultsDomain::isReadOnly() const {
    std::lock_guard lock(mutex_);
    return readOnly_;
}

DefaultsDomain::Reading DefaultsDomain::read(const std::filesystem::path& file) {
    using Outcome = PrivateFile::Contents::Outcome;
    const auto contents = PrivateFile::read(file, UserDefaults::maximumFileSize);
    Reading reading;
    switch (contents.outcome) {
    case Outcome::read:
        reading.stamp = contents.stamp;
        reading.values = Json::parse(contents.bytes, nullptr, false);
        reading.kind = !reading.values.is_discarded() && reading.values.is_object()
                           ? Reading::Kind::parsed
                           : Reading::Kind::unparsable;
        return reading;
    case Outcome::absent:
        reading.kind = Reading::Kind::absent;
        return reading;
    case Outcome::tooLarge:
        reading.kind = Reading::Kind::unparsable;
        reading.stamp = contents.stamp;
        reading.error = UserDefaults::Error::tooLarge;
        return reading;
    case Outcome::notRegular:
        reading.kind = Reading::Kind::unreadable;
        reading.error = UserDefaults::Error::notRegularFile;
        return reading;
    case Outcome::unopenable:
    case Outcome::failed:
        break;
    }
    reading.kind = Reading::Kind::unreadable;
    reading.error = contents.error;
    return reading;
}

const DefaultsDomain::Json* DefaultsDomain::lookUp(const std::string& key) const {
    if (const auto change = pending_.find(key); change != pending_.end()) {
        return change->second ? &*change->second : nullptr;
    }
    const auto found = stored_.find(key);
    return found == stored_.end() ? nullptr : &*found;
}

// A stat per read is the price of seeing what another process or a person
// wrote. Contents that do not parse are left alone here: a person may be in
// the middle of an edit; they are set aside at the next save.
void DefaultsDomain::refresh() {
    if (file_.empty() || readOnly_ || PrivateFile::stampOf(file_) == seen_) {
        return;
    }
    const Reading reading = read(file_);
    if (reading.kind == Reading::Kind::unparsable) {
        seen_ = reading.stamp;
        unparsed_ = true;
        return;
    }
    adopt(reading);
}

void DefaultsDomain::adopt(const Reading& reading) {
    switch (reading.kind) {
    case Reading::Kind::parsed:
        stored_ = reading.values;
        seen_ = reading.stamp;
        unparsed_ = false;
        return;
    case Reading::Kind::absent:
        stored_ = Json::object();
        seen_.reset();
        unparsed_ = false;
        return;
    case Reading::Kind::unparsable:
        // What was last read stays; the file that replaced it is kept for a person to look at.
        if (const auto error = setAside()) {
            becomeReadOnly(error);
            return;
        }
        seen_.reset();
        unparsed_ = false;
        return;
    case Reading::Kind::unreadable:
        becomeReadOnly(reading.error);
        return;
    }
}

std::error_code DefaultsDomain::save() {
    if (file_.empty()) {
        for (auto& [key, value] : pending_) {
            if (value) {
                stored_[key] = std::move(*value);
            } else {
                stored_.erase(key);
            }
        }
        pending_.clear();
        return {};
    }
    if (readOnly_) {
        return UserDefaults::Error::readOnly;
    }
    PrivateFile::createPrivateDirectories(file_.parent_path());
    const FileLock fileLock(lockFile_);
    if (!fileLock.held()) {
        return failed(fileLock.error());
    }
    // No save of this file is under way in any process now, so a temporary
    // of ours is what a killed one left.
    PrivateFile::removeStaleTemporaries(file_);
    if (unparsed_ || PrivateFile::stampOf(file_) != seen_) {
        adopt(read(file_));
        if (readOnly_) {
            return UserDefaults::Error::readOnly;
        }
    }
    Json merged = stored_;
    for (const auto& [key, value] : pending_) {
        if (value) {
            merged[key] = *value;
        } else {
            merged.erase(key);
        }
    }
    std::string text = merged.dump(2) + "\n";
    if (text.size() > UserDefaults::maximumFileSize) {
        // Such a file would be set aside at the next start, with every setting in it: the
        // change is refused instead.
        pending_.clear();
        return failed(UserDefaults::Error::tooLarge);
    }
    PrivateFile::Stamp written;
    if (const auto error = PrivateFile::writeAtomically(file_, text, &written)) {
        return failed(error);
    }
    stored_ = std::move(merged);
    seen_ = written;
    pending_.clear();
    return {};
}

// Keeps unreadable contents for a person to look at instead of overwriting
// them with the next write; an earlier copy set aside is not replaced.
std::error_code DefaultsDomain::setAside() {
    std::error_code error;
    auto target = file_;
    target += ".corrupt";
    for (int attempt = 2; std::filesystem::exists(target, error); ++attempt) {
        target = file_;
        target += ".corrupt-" + std::to_string(attempt);
    }
    if (!error) {
        std::filesystem::rename(file_, target, error);
    }
    if (!error) {
        tell({Notice::Kind::setAside, file_, target, {}});
    }
    return error;
}

void DefaultsDomain::becomeReadOnly(std::error_code reason) {
    if (readOnly_) {
        return;
    }
    readOnly_ = true;
    tell({Notice::Kind::unreadable, file_, {}, reason});
}

std::error_code DefaultsDomain::failed(std::error_code reason) const {
    tell({Notice::Kind::saveFailed, file_, {}, reason});
    return reason;
}

} // namespace quorvane
