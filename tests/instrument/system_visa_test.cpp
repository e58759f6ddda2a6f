#include "instrument/system_visa.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <string>

#include "instrument/link_factory.h"
#include "instrument/session.h"

namespace tq::visa {
namespace {

// What the fake library was given, read through its own handle.
template <typename Result>
Result probe(const char* name) {
    void* handle = dlopen(FAKE_VISA_PATH, RTLD_NOW | RTLD_NOLOAD);
    auto* function = reinterpret_cast<Result (*)()>(dlsym(handle, name));
    const Result result = function();
    dlclose(handle);
    return result;
}

TEST(SystemVisa, TheSessionRunsThroughALibraryLoadedAtRunTime) {
    std::string problem;
    auto library = SystemVisa::load(FAKE_VISA_PATH, problem);
    ASSERT_NE(library, nullptr) << problem;
    InstrumentSession session(*library);
    ASSERT_EQ(session.openResourceManager(), VI_SUCCESS);
    session.findMeters();
    EXPECT_EQ(session.FoundCount, 2);
    EXPECT_EQ(session.ResourceName, "USB0::0x3A6D::0x0E31::TW00000007::INSTR");
    session.openMeter();
    EXPECT_EQ(std::string(probe<const char*>("fakeVisaLastOpen")), session.ResourceName);
    session.setIoTimeout();
    EXPECT_EQ(probe<ViAttrState>("fakeVisaLastAttribute"), 2000u);
    // All 64 bits of an attribute value reach the library.
    library->setAttribute(session.InstrSession, VI_ATTR_TMO_VALUE, 0x1234567800000001ull);
    EXPECT_EQ(probe<ViAttrState>("fakeVisaLastAttribute"), 0x1234567800000001ull);

    session.writeLine("*IDN?");
    EXPECT_EQ(std::string(probe<const char*>("fakeVisaLastWrite")), "*IDN?\n");
    session.readReply();
    EXPECT_TRUE(session.replyStartsWith("VARANDEL,TQ4700,TW00000007"));
    // The library's own words for a status, where it has them.
    EXPECT_EQ(session.describe(VI_ERROR_TMO),
              "fake library: status " + std::to_string(VI_ERROR_TMO));

    session.release();
    EXPECT_EQ(std::string(probe<const char*>("fakeVisaLastOpen")),
              "USB0::0x3A6D::0x0E31::TW00000008::INSTR");
    EXPECT_EQ(std::string(probe<const char*>("fakeVisaLastWrite")), "system:local");
}

TEST(SystemVisa, ALibraryThatDoesNotLoadIsRefusedWithItsReason) {
    std::string problem;
    EXPECT_EQ(SystemVisa::load(INCOMPLETE_VISA_PATH, problem), nullptr);
    EXPECT_NE(problem.find("viClose"), std::string::npos) << problem;
    EXPECT_EQ(SystemVisa::load("/nonexistent/libvisa.so", problem), nullptr);
    EXPECT_NE(problem.find("/nonexistent/libvisa.so"), std::string::npos) << problem;
}

TEST(SystemVisa, ANamedLibraryIsUsedOrReportedAsMissing) {
    LinkOptions options;
    options.visaLibrary = FAKE_VISA_PATH;
    const Link found = openLink(options);
    EXPECT_EQ(found.description, std::string("system VISA ") + FAKE_VISA_PATH);
    ViSession rm = 0;
    EXPECT_EQ(found.visa->openDefaultRM(rm), VI_SUCCESS);

    // Named but broken: the program then starts as it does without VISA.
    options.visaLibrary = INCOMPLETE_VISA_PATH;
    const Link missing = openLink(options);
    EXPECT_EQ(missing.problems.size(), 1u);
    InstrumentSession session(*missing.visa);
    EXPECT_LT(session.openResourceManager(), 0);
    session.release();
    EXPECT_EQ(session.VisaStatus, VI_WARN_NULL_OBJECT);
}

}  // namespace
}  // namespace tq::visa
