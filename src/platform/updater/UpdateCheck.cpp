#include "UpdateCheck.h"

#include "Appcast.h"
#include "VersionComparator.h"
#include "platform/appinfo/ApplicationInfo.h"
#include "platform/http/HttpSession.h"
#include "platform/http/HttpTransportError.h"
#include "platform/http/Url.h"
#include "platform/task/CancellationError.h"

namespace quorvane {

UpdateCheck::UpdateCheck(std::string feedUrl, std::string bundleVersion, std::string displayVersion,
                         HttpSession& session)
    : feedUrl_(std::move(feedUrl))
    , bundleVersion_(std::move(bundleVersion))
    , displayVersion_(std::move(displayVersion))
    , session_(session) {}

UpdateCheck UpdateCheck::forApplication(const ApplicationInfo& info, HttpSession& session) {
    return UpdateCheck(info.infoValue("SUFeedURL").value_or(""), info.bundleVersion(),
                       info.shortVersionString(), session);
}

UpdateCheckResult UpdateCheck::failure(const std::string& reason) const {
    return {UpdateCheckResult::Kind::failed, "Could not check for updates: " + reason + ".", {}};
}

UpdateCheckResult UpdateCheck::run(std::stop_token stop) const {
    if (feedUrl_.empty()) {
        return {UpdateCheckResult::Kind::notConfigured,
                "Updates are not configured for this build.",
                {}};
    }
    const auto feed = Url::parse(feedUrl_);
    if (!feed || !Appcast::isWebUrl(*feed)) {
        return failure("the update feed address is not an http or https URL");
    }
    HttpRequest request;
    request.url = feed->text();
    request.headers = {{"Accept", "application/rss+xml, application/xml, text/xml"},
                       {"User-Agent", "quorvane/" + displayVersion_}};
    request.timeout = requestTimeout;
    HttpResponse response;
    try {
        response = session_.send(request, stop);
    } catch (const CancellationError&) {
        throw;
    } catch (const HttpTransportError& error) {
        return failure(std::string("the update server could not be reached (") + error.what() +
                       ")");
    } catch (const std::exception& error) {
        return failure(error.what());
    }
    if (response.statusCode < 200 || response.statusCode > 299) {
        return failure("the update server answered with HTTP " +
                       std::to_string(response.statusCode));
    }
    const auto items = Appcast::parse(response.body, *feed);
    if (!items) {
        return failure("the update feed is not a valid appcast");
    }
    const auto newest = Appcast::newest(*items);
    if (!newest || VersionComparator::compare(newest->version, bundleVersion_) <= 0) {
        return {UpdateCheckResult::Kind::upToDate,
                "Quorvane " + displayVersion_ + " is up to date.",
                {}};
    }
    return {UpdateCheckResult::Kind::updateAvailable,
            "Quorvane " + newest->displayVersion() + " is available at " + newest->downloadUrl +
                ".",
            newest};
}

} // namespace quorvane
