#include "SentryDsn.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quorvane {

namespace {

bool hasForbiddenCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F || c == '?' || c == '#';
    });
}

std::string lowercased(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::optional<int> parsePort(std::string_view text) {
    int port = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, port);
    if (text.empty() || error != std::errc() || stop != end || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

bool isValidHost(std::string_view host) {
    if (host.empty()) {
        return false;
    }
    if (host.front() == '[') {
        return host.size() > 2 && host.back() == ']';
    }
    return host.find_first_of("[]@:/") == std::string_view::npos;
}

} // namespace

std::optional<SentryDsn> SentryDsn::parse(std::string_view text) {
    if (hasForbiddenCharacter(text)) {
        return std::nullopt;
    }
    SentryDsn dsn;
    const auto schemeEnd = text.find("://");
    if (schemeEnd == std::string_view::npos) {
        return std::nullopt;
    }
    dsn.scheme_ = lowercased(text.substr(0, schemeEnd));
    if (dsn.scheme_ != "http" && dsn.scheme_ != "https") {
        return std::nullopt;
    }
    auto rest = text.substr(schemeEnd + 3);

    const auto pathStart = rest.find('/');
    const auto authority = rest.substr(0, pathStart);
    const auto path =
        pathStart == std::string_view::npos ? std::string_view() : rest.substr(pathStart);

    const auto at = authority.rfind('@');
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const auto credentials = authority.substr(0, at);
    const auto colon = credentials.find(':');
    dsn.publicKey_ = std::string(credentials.substr(0, colon));
    if (colon != std::string_view::npos) {
        const auto secret = credentials.substr(colon + 1);
        if (!secret.empty()) {
            dsn.secretKey_ = std::string(secret);
        }
    }
    if (dsn.publicKey_.empty()) {
        return std::nullopt;
    }

    auto hostPort = authority.substr(at + 1);
    const auto closingBracket = hostPort.rfind(']');
    const auto portColon = hostPort.rfind(':');
    if (portColon != std::string_view::npos &&
        (closingBracket == std::string_view::npos || portColon > closingBracket)) {
        dsn.port_ = parsePort(hostPort.substr(portColon + 1));
        if (!dsn.port_) {
            return std::nullopt;
        }
        hostPort = hostPort.substr(0, portColon);
    }
    if (!isValidHost(hostPort)) {
        return std::nullopt;
    }
    dsn.host_ = lowercased(hostPort);

    const auto lastSlash = path.rfind('/');
    if (lastSlash == std::string_view::npos || path.find("//") != std::string_view::npos) {
        return std::nullopt;
    }
    dsn.projectId_ = std::string(path.substr(lastSlash + 1));
    if (dsn.projectId_.empty()) {
        return std::nullopt;
    }
    dsn.path_ = std::string(path.substr(0, lastSlash));
    return dsn;
}

std::string SentryDsn::envelopeEndpoint() const {
    std::string url = scheme_ + "://" + host_;
    if (port_) {
        url += ":" + std::to_string(*port_);
    }
    return url + path_ + "/api/" + projectId_ + "/envelope/";
}

std::string SentryDsn::authHeader(std::string_view clientVersion) const {
    std::string header = "Sentry sentry_version=7, sentry_client=quorvane/";
    header += clientVersion;
    header += ", sentry_key=" + publicKey_;
    if (secretKey_) {
        header += ", sentry_secret=" + *secretKey_;
    }
    return header;
}

} // namespace quorvane
