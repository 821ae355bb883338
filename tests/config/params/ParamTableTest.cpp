// The parameter table and the register image: every row in its registers, values encoded both ways.
#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "config/params/ParamTable.h"

namespace k54 {
namespace {

TEST(RegisterImage, NarrowValuesAreSigned16Bit) {
    EXPECT_EQ(decodeNarrow(0x8000), -32768);
    EXPECT_EQ(decodeNarrow(0xFFFF), -1);
    EXPECT_EQ(decodeNarrow(0x7FFF), 32767);
    EXPECT_EQ(encodeNarrow(40000), 0x9C40);  // only the low 16 bits travel
    EXPECT_EQ(encodeNarrow(-1), 0xFFFF);
}

TEST(RegisterImage, WideValuesAreHighWordFirst) {
    EXPECT_EQ(decodeWide(0xFFFF, 0xFFFE), -2);
    EXPECT_EQ(decodeWide(0x0001, 0x1170), 70000);
    EXPECT_EQ(encodeWide(70000), (std::array<uint16_t, 2>{0x0001, 0x1170}));
    EXPECT_EQ(encodeWide(-2), (std::array<uint16_t, 2>{0xFFFF, 0xFFFE}));
    EXPECT_EQ(decodeWide(encodeWide(INT32_MIN)[0], encodeWide(INT32_MIN)[1]), INT32_MIN);
}

TEST(RegisterImage, RowsFillRegisters0To38InOrderWithoutGaps) {
    int nextRegister = 0;
    for (int i = 0; i < kParamCount; ++i) {
        const ParamRow& row = kParamTemplate.at(static_cast<std::size_t>(i));
        EXPECT_EQ(row.reg, nextRegister) << row.controlName;
        nextRegister += row.wide ? 2 : 1;
    }
    EXPECT_EQ(nextRegister, kConfigRegisterCount);
}

TEST(RegisterImage, RegisterToRowAgreesWithEveryRowsRegisters) {
    for (int i = 0; i < kParamCount; ++i) {
        const ParamRow& row = kParamTemplate.at(static_cast<std::size_t>(i));
        EXPECT_EQ(registerToRow(row.reg), i) << row.controlName;
        if (row.wide) {
            EXPECT_EQ(registerToRow(row.reg + 1), i) << row.controlName;
        }
    }
    EXPECT_EQ(registerToRow(-1), std::nullopt);
    EXPECT_EQ(registerToRow(39), std::nullopt);
}

TEST(RegisterImage, FactoryImageIsTheDescribedSetting) {
    const auto image = registerImage(kParamTemplate, true);
    EXPECT_EQ(image[0], 22);     // resistance 0...320 Ohm
    EXPECT_EQ(image[8], 0);      // display range high, high word
    EXPECT_EQ(image[9], 3200);   // ... low word: 320.0
    EXPECT_EQ(image[13], 1000);  // scaled range high 100.0
    EXPECT_EQ(image[21], 1);     // address
    EXPECT_EQ(image[22], 3);     // 19200 baud
    EXPECT_EQ(image[23], 0);     // password
    EXPECT_EQ(image[32], 640);   // setpoint 1: 64.0
    EXPECT_EQ(image[36], 2560);  // setpoint 2: 256.0
}

TEST(ParamTemplate, OneBasedListsAreTheAveragingAndBrightnessLists) {
    int oneBased = 0;
    for (const ParamRow& row : kParamTemplate) oneBased += isOneBased(row.controlName) ? 1 : 0;
    EXPECT_EQ(oneBased, 3);
    EXPECT_TRUE(isOneBased("Ndt_B"));
    EXPECT_TRUE(isOneBased("La__B"));
    EXPECT_TRUE(isOneBased("Ld__B"));
}

// Any configuration the registers can hold comes back unchanged through its register image.
RC_GTEST_PROP(RegisterImageProperty, DecodingTheImageGivesBackEveryValue, ()) {
    ParamTable rows = kParamTemplate;
    for (ParamRow& r : rows)
        r.value = r.wide ? *rc::gen::arbitrary<int32_t>() : *rc::gen::inRange<int32_t>(INT16_MIN, INT16_MAX + 1);
    ParamTable decoded = kParamTemplate;
    decodeRegisterImage(decoded, registerImage(rows, false));
    for (std::size_t i = 0; i < rows.size(); ++i) RC_ASSERT(decoded.at(i).value == rows.at(i).value);
}

TEST(RegisterImage, FindRowComparesControlNames) {
    EXPECT_EQ(findRow(kParamTemplate, "Mod_B"), row::Mod);
    EXPECT_EQ(findRow(kParamTemplate, "Gs2_E"), row::Gs2);
    EXPECT_EQ(findRow(kParamTemplate, "Com_B"), std::nullopt);
    EXPECT_EQ(findRow(kParamTemplate, ""), std::nullopt);
}

}  // namespace
}  // namespace k54
