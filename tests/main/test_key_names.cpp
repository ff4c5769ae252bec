// The boss key is shown by name on the options screen.
#include "main/KeyNames.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(KeyNames, EveryCodeHasItsNameOrBad) {
    const struct {
        uint32_t key;
        const char* name;
    } cases[] = {
        {8, "Back"},    {9, "Tab"},     {13, "Enter"}, {27, "Esc"},   {32, "Space"}, {33, "PgUp"},
        {34, "PgDn"},   {35, "End"},    {36, "Home"},  {37, "Left"},  {38, "Up"},    {39, "Right"},
        {40, "Down"},   {45, "Ins"},    {46, "Del"},   {48, "Bad"},   {49, "1"},     {57, "9"},
        {58, ":"},      {64, "@"},      {65, "A"},     {66, "B"},     {90, "Z"},     {91, "["},
        {92, "Bad"},    {111, "Bad"},   {112, "F1"},   {121, "F10"},  {126, "F15"},  {127, "Bad"},
        {160, "Shift"}, {161, "Shift"}, {162, "Ctrl"}, {163, "Ctrl"}, {164, "Alt"},  {165, "Bad"},
        {16, "Bad"},    {17, "Bad"},    {18, "Bad"},   {0, "Bad"},    {10, "Bad"},   {0xFFFFFFFF, "Bad"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyName(c.key), c.name) << "key " << c.key;
}

} // namespace
