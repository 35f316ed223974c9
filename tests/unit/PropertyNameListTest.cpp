// The names of a store: sorted by UTF-16 code unit, each once, found only when spelt exactly.
#include "propstore/PropertyNameList.h"

#include <gtest/gtest.h>

#include <vector>

using zekextender::PropertyNameList;

namespace {

std::vector<WString> Listed(const PropertyNameList& list) {
    std::vector<WString> names;
    for (std::size_t i = 0; i < list.size(); ++i) {
        names.emplace_back(list[i]);
    }
    return names;
}

} // namespace

TEST(PropertyNameList, SortsByCodeUnitAndKeepsEachNameOnce) {
    struct Case {
        const char* why;
        std::vector<WString> given;
        std::vector<WString> listed;
    };
    const Case cases[] = {
        {"ordinal",
         {U16("System.Title"), U16("System.Author")},
         {U16("System.Author"), U16("System.Title")}},
        {"capitals first", {U16("a"), U16("B")}, {U16("B"), U16("a")}},
        {"a prefix first",
         {U16("System.Size2"), U16("System.Size")},
         {U16("System.Size"), U16("System.Size2")}},
        {"duplicates once", {U16("x"), U16("y"), U16("x"), U16("x")}, {U16("x"), U16("y")}},
        {"units as unsigned", {U16("\u00e9"), U16("z")}, {U16("z"), U16("\u00e9")}},
        {"surrogates by unit",
         {U16("\ufffd"), U16("\U0001F600")},
         {U16("\U0001F600"), U16("\ufffd")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const auto list = PropertyNameList::Make(c.given);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(Listed(*list), c.listed);
    }
    EXPECT_EQ(PropertyNameList::Make({}), nullptr);
}

TEST(PropertyNameList, FindsOnlyTheExactName) {
    const auto list = PropertyNameList::Make(
        {U16("System.Title"), U16("System.Size"), U16("System.Keywords"), U16("B"), U16("a")});
    for (const WCHAR* name :
         {U16("System.Title"), U16("System.Size"), U16("System.Keywords"), U16("B"), U16("a")}) {
        EXPECT_TRUE(list->Contains(name));
    }
    for (const WCHAR* name : {U16("system.title"), U16("System.Titl"), U16("System.Titles"),
                              U16("b"), U16("A"), U16(""), U16("System.Size ")}) {
        EXPECT_FALSE(list->Contains(name));
    }
}

// Names that share a prefix are looked for after it: a name shorter than the prefix, the prefix
// alone, and a name that leaves it early must all be told apart.
TEST(PropertyNameList, FindsNamesThatShareAPrefix) {
    const auto shared = PropertyNameList::Make(
        {U16("System.Title"), U16("System.Size"), U16("System.Photo.Orientation")});
    for (const WCHAR* name :
         {U16("System.Title"), U16("System.Size"), U16("System.Photo.Orientation")}) {
        EXPECT_TRUE(shared->Contains(name));
    }
    for (const WCHAR* name : {U16("System."), U16("Syst"), U16(""), U16("Xystem.Title"),
                              U16("System.Photo"), U16("System.Sizes")}) {
        EXPECT_FALSE(shared->Contains(name));
    }
    // One name is its own prefix.
    const auto single = PropertyNameList::Make({U16("System.Title")});
    EXPECT_TRUE(single->Contains(U16("System.Title")));
    EXPECT_FALSE(single->Contains(U16("System.Titl")));
    EXPECT_FALSE(single->Contains(U16("System.Title2")));
}
