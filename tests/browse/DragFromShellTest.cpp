#include "browse/DragFromShell.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace tintora;

namespace {

using Call = std::pair<QString, QString>; // Filename, URL
using Calls = std::vector<Call>;

QByteArray utf16(const QString& s)
{
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

// A FILEGROUPDESCRIPTOR holding one shortcut name, as a Windows host hands it over.
QByteArray descriptorBlock(const QByteArray& name)
{
    QByteArray block(4 + 592, '\0');
    block[0] = 1;                         // cItems
    block.replace(76, name.size(), name); // first descriptor's cFileName
    return block;
}

std::unique_ptr<QMimeData> files(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

class DragFromShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dnd = new TDragFromShell(&window);
        dnd->OnShellDragEnter = [this](QObject* s, const QString& f, const QString& u) {
            EXPECT_EQ(s, dnd);
            entered.push_back({f, u});
        };
        dnd->OnShellDragDrop = [this](QObject* s, const QString& f, const QString& u) {
            EXPECT_EQ(s, dnd);
            dropped.push_back({f, u});
        };
    }

    // A whole drag: enter, a move, then a drop (or a leave). Returns the effects shown.
    std::vector<Qt::DropAction> drag(const QMimeData& data, bool release = true,
                                     Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction |
                                                               Qt::LinkAction)
    {
        std::vector<Qt::DropAction> effects;
        QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        EXPECT_TRUE(enter.isAccepted());
        effects.push_back(enter.dropAction());
        QDragMoveEvent move(QPoint(6, 6), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
        EXPECT_TRUE(move.isAccepted());
        effects.push_back(move.dropAction());
        if (release) {
            QDropEvent drop(QPointF(6, 6), offered, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &drop);
            EXPECT_TRUE(drop.isAccepted());
            effects.push_back(drop.dropAction());
        } else {
            QDragLeaveEvent leave;
            QApplication::sendEvent(&window, &leave);
        }
        return effects;
    }

    QWidget window;
    TDragFromShell* dnd = nullptr;
    Calls entered, dropped;
};

TEST(DragFromShellOwner, MustBeAWidget)
{
    QObject plain;
    for (QObject* owner : {&plain, static_cast<QObject*>(nullptr)}) {
        try {
            TDragFromShell d(owner);
            FAIL() << "accepted an owner that is no widget";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "Error installing component");
        }
    }
    QWidget widget;
    TDragFromShell d(&widget);
    EXPECT_TRUE(widget.acceptDrops());
}

TEST_F(DragFromShellTest, SeveralFilesGiveTheFirstPathOnce)
{
    const auto data = files({"/data/skins/one.bmp", "/data/skins/two.bmp", "/data/three.ico"});
    const auto effects = drag(*data);
    EXPECT_EQ(dropped, (Calls{{"/data/skins/one.bmp", ""}}));
    EXPECT_EQ(entered, (Calls{{"/data/skins/one.bmp", ""}}));
    EXPECT_EQ(effects, (std::vector<Qt::DropAction>(3, Qt::LinkAction)));
}

TEST_F(DragFromShellTest, AFileTakenAwayIsEnteredButNeverDropped)
{
    const auto data = files({"/data/skins/one.bmp"});
    drag(*data, false);
    EXPECT_EQ(entered, (Calls{{"/data/skins/one.bmp", ""}}));
    EXPECT_TRUE(dropped.empty());
}

const QString site = QStringLiteral("https://skins.example.org/packs/blue.zip");
const QString home = QStringLiteral("https://skins.example.org/");
const char* const descriptorFormat = "application/x-qt-windows-mime;value=\"FileGroupDescriptor\"";
const char* const addressFormat = "application/x-qt-windows-mime;value=\"UniformResourceLocator\"";

// One offer: addresses (local paths become file URLs) and raw formats.
struct LinkCase {
    const char* what;
    QStringList urls;
    std::vector<std::pair<const char*, QByteArray>> formats;
    Calls expected;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.what; }

class DragLinks : public DragFromShellTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(DragLinks, RaiseTheNamedEventsWithTheLinkEffect)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& u : GetParam().urls)
        urls << (u.startsWith('/') ? QUrl::fromLocalFile(u) : QUrl(u));
    if (!urls.isEmpty())
        data.setUrls(urls);
    for (const auto& [format, bytes] : GetParam().formats)
        data.setData(QString::fromLatin1(format), bytes);
    EXPECT_EQ(drag(data), (std::vector<Qt::DropAction>(3, Qt::LinkAction)));
    EXPECT_EQ(dropped, GetParam().expected);
    EXPECT_EQ(entered, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Offers, DragLinks,
    ::testing::Values(
        LinkCase{
            "a titled link", {}, {{"text/x-moz-url", utf16(site + "\nBlue pack")}}, {{"Blue pack", site}}},
        LinkCase{"an older browser's titled link",
                 {},
                 {{"_NETSCAPE_URL", (home + "\nSkins home").toUtf8()}},
                 {{"Skins home", home}}},
        LinkCase{"an address alone is named by its last segment", {site}, {}, {{"blue.zip", site}}},
        LinkCase{"a bare site is named by its host", {home}, {}, {{"skins.example.org", home}}},
        LinkCase{"a shortcut name loses its extension",
                 {},
                 {{descriptorFormat, descriptorBlock("Blue pack.url")},
                  {addressFormat, site.toLatin1() + '\0' + "junk"}},
                 {{"Blue pack", site}}},
        LinkCase{"a short shortcut name stays whole",
                 {},
                 {{descriptorFormat, descriptorBlock("abc")}},
                 {{"abc", ""}}},
        LinkCase{"a file and a link give two events, the second without address",
                 {"/data/a.bmp", site},
                 {},
                 {{"/data/a.bmp", ""}, {"blue.zip", ""}}},
        LinkCase{"a local file offered as a link as well is one drop",
                 {"/data/a.bmp"},
                 {{"text/x-moz-url", utf16("file:///data/a.bmp\na.bmp")}},
                 {{"/data/a.bmp", ""}}},
        LinkCase{"a local file offered only as a link is a file",
                 {},
                 {{"text/x-moz-url", utf16("file:///data/a.bmp\na.bmp")}},
                 {{"/data/a.bmp", ""}}},
        LinkCase{"plain text offers nothing", {}, {{"text/plain", "just words"}}, {}},
        LinkCase{"a descriptor block cut short offers nothing",
                 {},
                 {{descriptorFormat, QByteArray("\x01\0\0\0short", 9)}},
                 {}}));

TEST_F(DragFromShellTest, UnsetHandlersStillShowTheLinkEffect)
{
    dnd->OnShellDragDrop = nullptr;
    dnd->OnShellDragEnter = nullptr;
    const auto data = files({"/data/a.bmp"});
    EXPECT_EQ(drag(*data), (std::vector<Qt::DropAction>(3, Qt::LinkAction)));
}

TEST_F(DragFromShellTest, ASourceThatCannotLinkStillDrops)
{
    const auto data = files({"/data/a.bmp"});
    const auto effects = drag(*data, true, Qt::CopyAction);
    EXPECT_EQ(dropped, (Calls{{"/data/a.bmp", ""}}));
    EXPECT_EQ(effects, (std::vector<Qt::DropAction>(3, Qt::CopyAction)));
}

TEST_F(DragFromShellTest, AFailingHandlerDoesNotEscapeTheDrop)
{
    int reported = 0;
    dnd->OnShellDragDrop = [&](QObject*, const QString&, const QString&) {
        ++reported;
        throw std::runtime_error("handler failed");
    };
    const auto data = files({"/data/a.bmp"});
    test::FakePrompts prompts;
    prompts.expectMessage(PromptAnswer::Ok);
    drag(*data);
    EXPECT_EQ(reported, 1);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("handler failed"));
}

} // namespace
