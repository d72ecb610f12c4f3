// Linked into every test program: with PLOTWISE_TEST_LC_NUMERIC set, the whole program runs in
// that LC_NUMERIC, as the plug-in does in a host (or beside another plug-in) that calls
// setlocale. The German locale writes "1,5" where the "C" locale writes "1.5": every number the
// code reads and writes must come out the same.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace {

class NumericLocale : public ::testing::Environment {
public:
    explicit NumericLocale(std::string name) : name_(std::move(name)) {}
    void SetUp() override {
        ASSERT_NE(std::setlocale(LC_NUMERIC, name_.c_str()), nullptr)
            << "LC_NUMERIC " << name_ << " cannot be set (LOCPATH: " << (std::getenv("LOCPATH") ? std::getenv("LOCPATH") : "")
            << ")";
        // Proof that the locale is in force, so that a run in it cannot pass unnoticed in "C".
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        ASSERT_STREQ(text, "1,5") << "LC_NUMERIC " << name_ << " does not write a decimal comma";
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, "C"); }

private:
    std::string name_;
};

const bool kRegistered = [] {
    if (const char* name = std::getenv("PLOTWISE_TEST_LC_NUMERIC"); name != nullptr && *name != '\0')
        ::testing::AddGlobalTestEnvironment(new NumericLocale(name));
    return true;
}();

}  // namespace
