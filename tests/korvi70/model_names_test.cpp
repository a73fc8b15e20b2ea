// Descriptions built from type codes.
#include <climits>
#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "korvi70/model_names.h"

namespace {

std::string Name(int typeCode, int softwareVersion) {
    char text[Korvi70_RozmiarNazwyPrzyrzadu];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(Korvi70_RozszerzNazwePrzyrzadu(typeCode, text, softwareVersion), 0);
    return text;
}

TEST(ModelNames, Vgx52WithAndWithoutSoftwareVersion) {
    EXPECT_EQ(Name(432, 105), "Miernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105");
    EXPECT_EQ(Name(432, 0), "Miernik parametrów gazu, model VGX52; H.Ver.:1");
}

TEST(ModelNames, HardwareVersionIsTheCodeModuloEightPlusOne) {
    EXPECT_EQ(Name(439, 0), "Miernik parametrów gazu, model VGX52; H.Ver.:8");
    EXPECT_EQ(Name(72, 0), "Miernik parametrów gazu, model VGX50; H.Ver.:1");
    EXPECT_EQ(Name(79, 3), "Miernik parametrów gazu, model VGX50; H.Ver.:8; S.Ver.:3");
}

TEST(ModelNames, Code440SelectsRow55) {
    EXPECT_EQ(Name(440, 0), std::string(korvi70::ModelDescription(55)) + "; H.Ver.:1");
    EXPECT_NE(Name(440, 0), Name(432, 0));
}

TEST(ModelNames, CodesOutsideTheTableAreUnknownWithNothingAppended) {
    for (int code = 0; code < 8; ++code) EXPECT_EQ(Name(code, 105), "Przyrząd nieznany") << code;
    EXPECT_EQ(Name(464, 105), "Przyrząd nieznany");
    EXPECT_EQ(Name(0xFFFF, 1), "Przyrząd nieznany");
    EXPECT_EQ(Name(-1, 1), "Przyrząd nieznany");
    EXPECT_EQ(Name(INT_MIN, 1), "Przyrząd nieznany");
    EXPECT_EQ(Name(463, 0), std::string(korvi70::ModelDescription(57)) + "; H.Ver.:8");
}

TEST(ModelNames, NegativeAndExtremeSoftwareVersionsFitTheBuffer) {
    EXPECT_EQ(Name(432, -5), "Miernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:-5");
    EXPECT_EQ(Name(432, INT_MIN), "Miernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:-2147483648");
}

TEST(ModelNames, EveryRowIsPresentDistinctAndFitsItsSlot) {
    std::set<std::string> seen;
    for (int model = 1; model <= Korvi70_LiczbaModeli; ++model) {
        const char *row = korvi70::ModelDescription(model);
        ASSERT_NE(row, nullptr) << model;
        EXPECT_GT(std::strlen(row), 0u) << model;
        EXPECT_LE(std::strlen(row), static_cast<std::size_t>(Korvi70_MaksDlugoscOpisuModelu)) << model;
        EXPECT_TRUE(seen.insert(row).second) << "row " << model << " repeats another";
    }
    EXPECT_EQ(korvi70::ModelDescription(0), nullptr);
    EXPECT_EQ(korvi70::ModelDescription(58), nullptr);
}

TEST(ModelNames, ASmallBufferGetsACutTerminatedText) {
    char text[12];
    korvi70::ExpandInstrumentName(432, 105, text, sizeof text);
    EXPECT_EQ(std::string(text), "Miernik par");
    char tiny[1] = {'x'};
    korvi70::ExpandInstrumentName(432, 105, tiny, sizeof tiny);
    EXPECT_EQ(tiny[0], '\0');
    const std::string full = "Miernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105";
    for (std::size_t size = 2; size <= full.size() + 1; ++size) {
        char cut[80];
        korvi70::ExpandInstrumentName(432, 105, cut, size);
        // Bytes 17 and 18 are "ó": a cut never keeps half of it.
        EXPECT_EQ(std::string(cut), full.substr(0, size - 1 == 17 ? 16 : size - 1)) << size;
    }
}

}  // namespace
