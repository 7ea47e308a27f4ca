#pragma once
#include "app/FormWidgets.h"
#include "app/TintoraForm.h"
#include "controls/GaugeBar.h"
#include "support/Fakes.h"

#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>

namespace tintora::test {

// A fresh main window per test, with scripted prompts and screen.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override { form = std::make_unique<TTintoraForm>(); }
    void TearDown() override { form.reset(); }

    Bitmap& preview() { return form->previewBitmap(); }
    static Bitmap solid(int w, int h, ColorValue c)
    {
        Bitmap b(w, h, PixelFormat::Bits24);
        fillRect(b, Rect{0, 0, w, h}, c);
        return b;
    }
    // Makes `source` the workspace's image, unfiltered, as a load would.
    void useImage(const Bitmap& source)
    {
        form->SourceBitmap = source;
        form->SourceFileFacts = {};
        preview() = source;
        preview().convertTo24();
        form->previewChanged();
    }

    FakePrompts prompts;
    FakeScreen screen;
    std::unique_ptr<TTintoraForm> form;
};

} // namespace tintora::test
