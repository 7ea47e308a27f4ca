#include "FileListFixture.h"
#include "platform/Canvas.h"
#include "platform/Shell.h"

#include <QImage>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace tintora;
using namespace tintora::test;

namespace {

// Names that are legal on Linux though they look like a drive separator or a mask.
class FileListOddNames : public FileListTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        FileListTest::SetUp();
        touch(other, {"12:30 shot.bmp", "what?.bmp", "a*.bmp", "ab.bmp", "x;y.gif", "ab.gif", "a*.gif"});
        makeList(folder, QStringLiteral("*.bmp"));
    }
    TempFolder other;
};

TEST_P(FileListOddNames, AFullPathAndThenTheBareNameSelectTheFileItself)
{
    const QString name = QString::fromUtf8(GetParam());
    list->setFileName(other.file(name));
    EXPECT_EQ(list->FileName(), canonical(other.path()) + QLatin1Char('/') + name);
    EXPECT_EQ(list->Mask(), QStringLiteral("*.bmp"));
    list->setItemIndex(-1);
    list->setFileName(name);
    EXPECT_EQ(list->FileName(), canonical(other.path()) + QLatin1Char('/') + name);
}

INSTANTIATE_TEST_SUITE_P(Names, FileListOddNames, ::testing::Values("12:30 shot.bmp", "what?.bmp", "a*.bmp"));

TEST_F(FileListOddNames, AFolderNamedLikeAPatternIsEnteredAndLeavesTheMaskAlone)
{
    touch(other, {"what?/in.bmp"});
    list->setFileName(other.file("what?"));
    EXPECT_EQ(list->Directory(), canonical(other.file("what?")));
    EXPECT_EQ(listed(), QStringList{"in.bmp"});
    list->setFileName(folder.path());
    EXPECT_EQ(list->Mask(), QStringLiteral("*.bmp"));
    EXPECT_EQ(listed(), QStringList{});
}

TEST_F(FileListOddNames, APatternGivenAsANameIsNoMask)
{
    list->setFileName(other.path());
    EXPECT_THROW(list->setFileName(QStringLiteral("*.gif")), FileNameError);
    EXPECT_EQ(list->Mask(), QStringLiteral("*.bmp"));
}

TEST_F(FileListOddNames, AHiddenNameNarrowsTheListToItselfAlone)
{
    for (const char* hidden : {"a*.gif", "x;y.gif"}) {
        list->setMask(QStringLiteral("*.bmp"));
        list->setFileName(other.file(QString::fromUtf8(hidden)));
        EXPECT_EQ(listed(), QStringList{QString::fromUtf8(hidden)});
        EXPECT_EQ(list->ItemIndex(), 0);
    }
}

// A file (or, for a name ending in "/", a folder) named by raw bytes, as an old archive leaves them.
void makeNative(const TempFolder& where, const std::string& name)
{
    const std::filesystem::path path(nativePath(where.path()) + '/' + name);
    std::filesystem::create_directories(name.ends_with('/') ? path : path.parent_path());
    if (!name.ends_with('/'))
        std::ofstream(path) << "x";
}

QImage drawRow(const TFileListBox& list, int row)
{
    QImage img(256, 22, QImage::Format_RGB32);
    img.fill(Qt::gray);
    Canvas canvas(&img);
    list.paintRow(canvas, Rect{0, 0, 256, 22}, row, false, false);
    return img;
}

TEST_F(FileListTest, NamesThatAreNoUtf8AreListedShownAndSelectedWithTheirBytes)
{
    makeNative(folder, "lat\xE9.bmp");
    makeNative(folder, "lat\xC3\xA9.bmp"); // the same name in UTF-8
    makeNative(folder, "caf\xE9/in\xE9.bmp");
    makeList(folder, QStringLiteral("*.bmp;caf*"));
    list->setFileType(TFileAttr::ftNormal | TFileAttr::ftDirectory);
    const std::string dir = nativePath(canonical(folder.path()));
    ASSERT_EQ(listed().size(), 3);
    std::vector<std::string> names;
    for (const QString& item : listed())
        names.push_back(nativePath(item));
    EXPECT_EQ(names, (std::vector<std::string>{"[caf\xE9]", "lat\xC3\xA9.bmp", "lat\xE9.bmp"}));
    // Beside the icon, which follows the file's type, not its name.
    EXPECT_EQ(drawRow(*list, 2).copy(22, 0, 234, 22), drawRow(*list, 1).copy(22, 0, 234, 22))
        << "a Latin-1 name shows as its letters";

    list->setFileName(pathFromNative(dir + "/lat\xE9.bmp"));
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(nativePath(list->FileName()), dir + "/lat\xE9.bmp");
    list->setFileName(pathFromNative(dir + "/caf\xE9/in\xE9.bmp"));
    EXPECT_EQ(nativePath(list->Directory()), dir + "/caf\xE9");
    EXPECT_EQ(nativePath(list->FileName()), dir + "/caf\xE9/in\xE9.bmp");
    list->setDirectory(QStringLiteral(".."));
    EXPECT_EQ(nativePath(list->Directory()), dir);
}

// Takes the overrides of file permissions out of this thread's effective
// capabilities while it lives, so that a folder's mode binds root as well.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride()
    {
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &m_header, reduced);
    }
    ~WithoutPermissionOverride() { syscall(SYS_capset, &m_header, m_saved); }
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
};

TEST_F(FileListTest, AFolderThatCannotBeEnteredFailsAndKeepsTheListedOne)
{
    touch(folder, {"a.bmp", "locked/inside.bmp"});
    ASSERT_TRUE(QFile::setPermissions(folder.file("locked"), {}));
    makeList(folder);
    const QString before = list->Directory();
    {
        const WithoutPermissionOverride asAnyUser;
        EXPECT_THROW(list->setFileName(folder.file("locked")), InOutError);
    }
    EXPECT_EQ(list->Directory(), before);
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(listed(), QStringList{"a.bmp"});
    EXPECT_EQ(changes, 0);
    QFile::setPermissions(folder.file("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
