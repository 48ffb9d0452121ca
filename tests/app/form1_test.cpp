#include <gtest/gtest.h>

#include "app/form1.h"

using namespace pado;

TEST(HorseNameFolder, IsAFolderWhoseLastComponentIsExactlyNineCharacters)
{
    EXPECT_TRUE(IsHorseNameFolder(U"/p/PADO/有馬記念/アドマイヤテスト "));
    EXPECT_TRUE(IsHorseNameFolder(U"/p/PADO/有馬記念/カレン      "));
    EXPECT_FALSE(IsHorseNameFolder(U"/p/PADO/有馬記念"));
    // "PADO/" and a four-character race name are nine characters too, but not one component.
    EXPECT_FALSE(IsHorseNameFolder(U"/p/PADO/冬星記念"));
    EXPECT_FALSE(IsHorseNameFolder(U"/p/PADO/有馬記念/アドマイヤテスト /090405 阪神 11 芝1600m 良"));
    EXPECT_FALSE(IsHorseNameFolder(U"アドマイヤテスト "));
}
