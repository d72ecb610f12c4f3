#include "boundary/call_locale.h"

#include "boundary/host_calls.h"

namespace plotwise {

CallLocale::CallLocale() = default;
CallLocale::CallLocale(const FMX_DataVect* args) { remember(args); }
CallLocale::~CallLocale() = default;

const FMX_Locale* CallLocale::get() {
    if (given_) return given_->get();
    if (!hostLocale_) hostLocale_ = std::make_unique<host::Locale>(1);
    return hostLocale_->get();
}

bool CallLocale::hasDecimalComma() {
    host::Data value;
    const host::Text half("0,5");
    return host::setTextAs(value.get(), half.get(), get(), kFMX_Number) &&
           host::asDouble(host::dataNumber(value.get())) == 0.5;
}

void CallLocale::remember(const FMX_DataVect* args) {
    if (args == nullptr) return;
    const host::Args arguments(args);
    if (arguments.size() == 0) return;
    if (!given_) given_ = std::make_unique<host::Locale>(1);
    given_->assign(host::dataLocale(arguments.at(0)));
}

}  // namespace plotwise
