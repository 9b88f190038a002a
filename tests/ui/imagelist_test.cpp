#include "ui/imagelist.h"

#include "app/platform.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

namespace {

QImage ImageOf(const TImageList &List, int Role) {
    return List.Pixmap(Role).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool AnyPixelDrawn(const QImage &Image) {
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (qAlpha(Image.pixel(x, y)) > 0)
                return true;
    return false;
}

} // namespace

TEST(ImageList, EveryRoleHasA16PixelPicture) {
    const TImageList List;
    ASSERT_EQ(List.Count(), ImageRoleCount);
    for (int Role = 0; Role < ImageRoleCount; ++Role) {
        SCOPED_TRACE(Role);
        const QPixmap Pix = List.Pixmap(Role);
        ASSERT_FALSE(Pix.isNull());
        EXPECT_EQ(Pix.size(), QSize(16, 16));
        EXPECT_EQ(AnyPixelDrawn(Pix.toImage()), Role != imgUnused);
    }
}

TEST(ImageList, HighDensityScreensGetTheDoubledSize) {
    const TImageList List;
    const QPixmap Pix = List.Icon(imgSave).pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(Pix.size(), QSize(32, 32));
    EXPECT_DOUBLE_EQ(Pix.devicePixelRatio(), 2.0);
}

TEST(ImageList, RolesShowDifferentPictures) {
    const TImageList List;
    for (int A = 0; A < ImageRoleCount; ++A)
        for (int B = A + 1; B < ImageRoleCount; ++B) {
            // Opening a file and a selected project share the open folder.
            if (A == imgOpen && B == imgFolderOpen)
                continue;
            SCOPED_TRACE(std::to_string(A) + " vs " + std::to_string(B));
            EXPECT_NE(ImageOf(List, A), ImageOf(List, B));
        }
}

// The main colour of a picture tells whether a role got its own file and not a neighbour's.
enum class TTint { Red, Green, Blue, Grey, Yellow };

struct TTintCase {
    const char *Name;
    int Role;
    TTint Tint;
};

void PrintTo(const TTintCase &Case, std::ostream *Out) {
    *Out << Case.Name;
}

class ImageListTint : public ::testing::TestWithParam<TTintCase> {};

TEST_P(ImageListTint, MainColourFitsTheRole) {
    const TImageList List;
    const QImage Image = ImageOf(List, GetParam().Role);
    double R = 0, G = 0, B = 0, Weight = 0;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x) {
            const QRgb P = Image.pixel(x, y);
            const double A = qAlpha(P) / 255.0;
            R += qRed(P) * A;
            G += qGreen(P) * A;
            B += qBlue(P) * A;
            Weight += A;
        }
    ASSERT_GT(Weight, 0);
    R /= Weight;
    G /= Weight;
    B /= Weight;
    SCOPED_TRACE(std::to_string(R) + " " + std::to_string(G) + " " + std::to_string(B));
    switch (GetParam().Tint) {
    case TTint::Red:
        EXPECT_GT(R, G + 30);
        EXPECT_GT(R, B + 30);
        break;
    case TTint::Green:
        EXPECT_GT(G, R + 30);
        EXPECT_GT(G, B + 30);
        break;
    case TTint::Blue:
        EXPECT_GT(B, R + 30);
        EXPECT_GT(B, G + 30);
        break;
    case TTint::Grey:
        EXPECT_LT(std::abs(R - G), 10);
        EXPECT_LT(std::abs(R - B), 10);
        break;
    case TTint::Yellow:
        EXPECT_GT(R, B + 60);
        EXPECT_GT(G, B + 30);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Roles, ImageListTint,
                         ::testing::Values(TTintCase{"StartMeasure", imgStartMeasure, TTint::Green},
                                           TTintCase{"StopMeasure", imgStopMeasure, TTint::Red},
                                           TTintCase{"Delete", imgDelete, TTint::Red},
                                           TTintCase{"Save", imgSave, TTint::Blue},
                                           TTintCase{"SaveNothing", imgSaveNothing, TTint::Grey},
                                           TTintCase{"Info", imgInfo, TTint::Blue},
                                           TTintCase{"Folder", imgFolder, TTint::Yellow},
                                           TTintCase{"FolderOpen", imgFolderOpen, TTint::Yellow}),
                         [](const ::testing::TestParamInfo<TTintCase> &Info) {
                             return Info.param.Name;
                         });

TEST(ImageList, NoRoleAndIndexesOutOfRangeGiveAnEmptyIcon) {
    TImageList List;
    struct Row {
        const char *Name;
        int Index;
    };
    for (const Row &R : {Row{"none", imgNone}, Row{"negative", -7},
                         Row{"program not yet appended", imgProgram}, Row{"far out", 1000}}) {
        SCOPED_TRACE(R.Name);
        EXPECT_TRUE(List.Icon(R.Index).isNull());
        EXPECT_TRUE(List.Pixmap(R.Index).isNull());
    }
}

TEST(ImageList, ProgramIconIsAppendedAtItsRole) {
    TImageList List;
    const QIcon Program = ProgramIcon();
    ASSERT_FALSE(Program.isNull());
    EXPECT_EQ(List.Append(Program), int(imgProgram));
    EXPECT_EQ(List.Count(), imgProgram + 1);
    EXPECT_EQ(List.Pixmap(imgProgram).toImage(), Program.pixmap(16, 16).toImage());
    EXPECT_TRUE(List.Icon(imgProgram + 1).isNull());
}
