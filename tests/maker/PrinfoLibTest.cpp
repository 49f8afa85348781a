// PrinfoLib.dll asking a running simulator through QKComm.dll's binding record.
#include "tests/maker/CommFixture.h"
#include <gtest/gtest.h>
#include <cstring>
#include "framework/comm/PrinfoLibApi.h"
#include "framework/comm/ProcAddress.h"

using namespace qk::comm;

namespace {

class PrinfoLib : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fx.SetUp(qk::test::StandardDeviceMap()));
        PortRecord record = qk::test::MakePortRecord(u"NET", u"127.0.0.1");
        ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&record));
        ASSERT_EQ(kQkcOk, fx.qkc.QKC_Open(1));
        module = LoadLibraryW((qk::test::StageDir() + L"PrinfoLib.dll").c_str());
        ASSERT_NE(nullptr, module);
        initialize = GetProcAs<PFN_PRINFO_Initialize>(module, "Initialize");
        finalize = GetProcAs<PFN_PRINFO_Finalize>(module, "Finalize");
        getName = GetProcAs<PFN_PRINFO_GetPrinterName>(module, "GetPrinterName");
        getId = GetProcAs<PFN_PRINFO_GetDeviceID>(module, "GetDeviceID");
        getInformation =
            GetProcAs<PFN_PRINFO_GetPrinterInformation>(module, "GetPrinterInformation");
        getInfo = GetProcAs<PFN_PRINFO_GetPrinterInfo>(module, "GetPrinterInfo");
        registerCallback = GetProcAs<PFN_PRINFO_RegisterCallback>(module, "RegisterCallback");
        unregisterCallback = GetProcAs<PFN_PRINFO_UnregisterCallback>(module, "UnregisterCallback");
        ASSERT_TRUE(initialize && finalize && getName && getId && getInformation && getInfo &&
                    registerCallback && unregisterCallback);
        context = initialize(&fx.qkc);
        ASSERT_NE(nullptr, context);
    }
    void TearDown() override {
        if (finalize)
            finalize(&context);
        if (module)
            FreeLibrary(module);
        fx.TearDown();
    }

    qk::test::CommFixture fx;
    HMODULE module = nullptr;
    void* context = nullptr;
    PFN_PRINFO_Initialize initialize = nullptr;
    PFN_PRINFO_Finalize finalize = nullptr;
    PFN_PRINFO_GetPrinterName getName = nullptr;
    PFN_PRINFO_GetDeviceID getId = nullptr;
    PFN_PRINFO_GetPrinterInformation getInformation = nullptr;
    PFN_PRINFO_GetPrinterInfo getInfo = nullptr;
    PFN_PRINFO_RegisterCallback registerCallback = nullptr;
    PFN_PRINFO_UnregisterCallback unregisterCallback = nullptr;
};

} // namespace

TEST_F(PrinfoLib, ReadsNameIdAndInformationFromThePrinter) {
    char name[90];
    std::memset(name, 0xCC, sizeof(name));
    ASSERT_EQ(1, getName(context, name, 90));
    EXPECT_STREQ("QK-R40", name);
    int32_t id = 0;
    ASSERT_EQ(1, getId(context, &id));
    EXPECT_EQ(0x40, id);
    PrinterInformation info{};
    info.requestMask = 31;
    ASSERT_EQ(1, getInformation(context, &info, 0));
    EXPECT_STREQ("TARROW", info.strings[0]);
    EXPECT_STREQ("QK-R40", info.strings[1]);
    EXPECT_STREQ("1.40 QK", info.strings[2]);
    EXPECT_STREQ("QK4A000001", info.strings[3]);
    EXPECT_STREQ("ANK", info.strings[4]);
    // Only the strings asked for are read; the others stay as they were.
    ASSERT_EQ("OK", fx.sim.Control("serial QK4A999999"));
    ASSERT_EQ("OK", fx.sim.Control("model QK-R40 II"));
    info.requestMask = 1 << 3;
    ASSERT_EQ(1, getInformation(context, &info, 0));
    EXPECT_STREQ("QK4A999999", info.strings[3]);
    EXPECT_STREQ("QK-R40", info.strings[1]);
    char one[16] = {};
    ASSERT_EQ(1, getInfo(context, 1, one, sizeof(one)));
    EXPECT_STREQ("QK-R40 II", one);
    EXPECT_EQ(0, getName(context, one, 5)) << "a name that does not fit is a failure";
}

TEST_F(PrinfoLib, UnknownModelIdTellsAMismatchNotACommunicationError) {
    ASSERT_EQ("OK", fx.sim.Control("modelid 0x33"));
    int32_t id = 7;
    EXPECT_EQ(0, getId(context, &id));
    EXPECT_EQ(0, id);
}

// Both calls give up and say why (how long that takes is maker_comm_bench's figure).
TEST_F(PrinfoLib, SilentPrinterFails) {
    ASSERT_EQ("OK", fx.sim.Control("silent on"));
    char name[90] = {};
    EXPECT_EQ(0, getName(context, name, 90));
    int32_t id = 0;
    EXPECT_EQ(0, getId(context, &id));
    EXPECT_NE(0, id);
}

TEST_F(PrinfoLib, GarbageAndTruncatedAnswersAreErrors) {
    char name[90] = {};
    PrinterInformation info{};
    info.requestMask = 31;
    ASSERT_EQ("OK", fx.sim.Control("garbage on"));
    EXPECT_EQ(0, getName(context, name, 90));
    EXPECT_EQ(0, getInformation(context, &info, 0));
    ASSERT_EQ("OK", fx.sim.Control("garbage off"));
    ASSERT_EQ("OK", fx.sim.Control("truncate on"));
    EXPECT_EQ(0, getName(context, name, 90));
    int32_t id = 0;
    EXPECT_EQ(0, getId(context, &id));
    // The printer recovers: the next answer is read correctly, nothing stale in between.
    ASSERT_EQ("OK", fx.sim.Control("truncate off"));
    EXPECT_EQ(1, getName(context, name, 90));
    EXPECT_STREQ("QK-R40", name);
}

TEST_F(PrinfoLib, ContextsAreCheckedAndReleasedOnce) {
    EXPECT_EQ(nullptr, initialize(nullptr));
    QkcBinding partial = fx.qkc;
    partial.QKC_Read = nullptr;
    EXPECT_EQ(nullptr, initialize(&partial));
    char name[90] = {};
    int bogus = 0;
    EXPECT_EQ(0, getName(&bogus, name, 90));
    void* second = initialize(&fx.qkc);
    ASSERT_NE(nullptr, second);
    void* copy = second;
    EXPECT_EQ(1, finalize(&second));
    EXPECT_EQ(nullptr, second);
    EXPECT_EQ(0, finalize(&copy)) << "a released context is not released again";
    EXPECT_EQ(1, finalize(&second));
}

TEST_F(PrinfoLib, CallbackHearsEveryExchange) {
    struct Heard {
        int answered = 0, failed = 0;
        static void QKC_CALL Proc(int32_t ok, void* user) {
            auto* heard = static_cast<Heard*>(user);
            (ok ? heard->answered : heard->failed)++;
        }
    } heard;
    ASSERT_EQ(1, registerCallback(context, &Heard::Proc, &heard));
    char name[90] = {};
    getName(context, name, 90);
    ASSERT_EQ("OK", fx.sim.Control("silent on"));
    getName(context, name, 90);
    EXPECT_EQ(1, heard.answered);
    EXPECT_EQ(1, heard.failed);
    ASSERT_EQ(1, unregisterCallback(context));
    getName(context, name, 90);
    EXPECT_EQ(1, heard.failed);
}
