// The shared copies into fixed fields and the dotted-address parser.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "address_text.h"
#include "text_copy.h"

namespace {

// The eight bytes of a field as text, zeros shown as '.'.
std::string Bytes8(const char (&field)[8]) {
    std::string s;
    for (char c : field) s.push_back(c == 0 ? '.' : c);
    return s;
}

TEST(TextCopy, CutsTerminatesAndZeroFills) {
    struct Case {
        const char* src;
        const char* text;    // CopyTextField: at most 7 characters and a terminator
        const char* padded;  // CopyPaddedField: up to all 8 bytes
    } cases[] = {
        {"abc", "abc.....", "abc....."},
        {"1234567", "1234567.", "1234567."},
        {"12345678", "1234567.", "12345678"},
        {"123456789", "1234567.", "12345678"},
        {"", "........", "........"},
        {nullptr, "........", "........"},
    };
    for (const Case& c : cases) {
        char field[8];
        std::memset(field, 'x', sizeof field);
        CopyTextField(field, c.src);
        EXPECT_EQ(c.text, Bytes8(field)) << (c.src ? c.src : "(null)");
        std::memset(field, 'x', sizeof field);
        CopyPaddedField(field, c.src);
        EXPECT_EQ(c.padded, Bytes8(field)) << (c.src ? c.src : "(null)");
    }
}

TEST(TextCopy, FieldSourceIsReadOnlyWithinItsWidth) {
    const char source[4] = {'a', 'b', 'c', 'd'};  // no terminator
    char field[8];
    CopyField(field, sizeof field, source, sizeof source);
    EXPECT_EQ("abcd....", Bytes8(field));
}

TEST(ParseAddressFields, FourFieldsOfUpToThreeDigits) {
    struct Case {
        const char* text;
        bool ok;
        int fields[4];
    } cases[] = {
        {"192.168.0.10", true, {192, 168, 0, 10}},
        {"10.0.0.999", true, {10, 0, 0, 999}},   // the rules name the field later
        {"010.000.1.2", true, {10, 0, 1, 2}},
        {"1.2.3", false, {}},
        {"1.2.3.4.5", false, {}},
        {"1..3.4", false, {}},
        {"1.2.3.1000", false, {}},
        {" 1.2.3.4", false, {}},
        {"1.2.3.4 ", false, {}},
        {"-1.2.3.4", false, {}},
        {"", false, {}},
        {nullptr, false, {}},
    };
    for (const Case& c : cases) {
        const char* shown = c.text ? c.text : "(null)";
        int out[4] = {7, 7, 7, 7};
        EXPECT_EQ(c.ok, ParseAddressFields(c.text, out)) << shown;
        const int* want = c.ok ? c.fields : nullptr;
        const int untouched[4] = {7, 7, 7, 7};
        if (!want) want = untouched;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(want[i], out[i]) << shown << " field " << i;
    }
}

}  // namespace
