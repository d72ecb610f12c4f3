// Plotz_Version: the plug-in's version in one of a few forms.
#include <string>
#include <string_view>

#include "boundary/boundary.h"
#include "boundary/call_locale.h"
#include "boundary/host_calls.h"
#include "boundary/script_functions.h"
#include "resources/strings.h"

namespace plotwise {

namespace {

enum class VersionForm { Short, Long, Platform };

// Requests in the order they are compared; the host's text equality decides (case counts).
struct VersionRequest {
    std::string_view request;
    VersionForm form;
};
constexpr VersionRequest kVersionRequests[] = {
    {"", VersionForm::Short},
    {"long", VersionForm::Long},
    {"platform", VersionForm::Platform},
    {"short", VersionForm::Short},
};

constexpr std::string_view kPlatform = "Windows";

std::string versionText(VersionForm form) {
    switch (form) {
    case VersionForm::Long:
        return std::string(stringResource(kNameString)) + " " + std::string(stringResource(kVersionString));
    case VersionForm::Platform:
        return std::string(kPlatform);
    case VersionForm::Short:
        break;
    }
    return std::string(stringResource(kVersionString));
}

}  // namespace

int16_t Plotz_Version(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallLocale>(args, [&](CallLocale&) -> int16_t {
        const host::Args arguments(args);
        std::string answer;  // anything not asked for gives the empty text
        // A missing argument reads as the empty text.
        host::Text none;
        const FMX_Text* asked = arguments.size() > 0 ? host::dataText(arguments.at(0)) : none.get();
        for (const VersionRequest& entry : kVersionRequests) {
            if (host::Text(entry.request).equals(asked)) {
                answer = versionText(entry.form);
                break;
            }
        }
        host::Text text(answer);
        host::setText(result, text.get(), host::dataLocale(result));
        return 0;
    });
}

}  // namespace plotwise
