// The stand-ins' INI reader: sections found by name whatever their case and number, and a
// byte order mark taken only where one can be.
#include <gtest/gtest.h>
#include <string>
#include "maker/common/IniText.h"

using qk::ini::IniText;

TEST(IniText, SectionsAreFoundByNameInAnyCaseAndRepeatedHeadersAddUp) {
    IniText ini;
    ini.Parse(
        "[Ports]\r\nCount=2\r\n[port1]\r\nName=a\r\n[PORTS]\r\nFormat=x\r\n[Port1]\r\nKind=b\r\n");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Ports", "port1"}));
    EXPECT_EQ(ini.Get("ports", "FORMAT"), "x");
    EXPECT_EQ(ini.Get("PORT1", "kind"), "b");
    EXPECT_EQ(ini.GetInt("Ports", "Count", -1), 2);

    ini.RemoveSection("PORTS");
    EXPECT_FALSE(ini.Has("Ports", "Count"));
    EXPECT_EQ(ini.Get("Port1", "Name"), "a") << "the sections after a removed one are still found";
    ini.Set("ports", "Count", "0");
    ini.Set("PORT2", "Name", "c");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"port1", "ports", "PORT2"}));
    EXPECT_EQ(ini.Get("Port2", "Name"), "c");
}

TEST(IniText, OnlyTheTextsFirstBytesAreAByteOrderMark) {
    IniText ini;
    ini.Parse("\xEF\xBB\xBF[A]\r\n\xEF\xBF\xBDkey=1\r\n");
    ASSERT_EQ(ini.Sections(), std::vector<std::string>{"A"});
    EXPECT_EQ(ini.Get("A", "\xEF\xBF\xBDkey"), "1") << "a key starting with a multibyte letter";

    const std::string text = ini.Serialize();
    IniText again;
    again.Parse(text);
    EXPECT_EQ(again.Serialize(), text);
}
