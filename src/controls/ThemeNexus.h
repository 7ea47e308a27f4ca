#pragma once

namespace tintora {

// The desktop's visual-style service for the gauge bar's default style. Qt
// offers no way to draw the host's themed scroll-bar parts into our canvas, so
// this program never uses them: the helper always reports styles off, and the
// default style draws the plain look. One instance serves the whole program.
class TThemeNexus {
public:
    static TThemeNexus& instance()
    {
        static TThemeNexus nexus;
        return nexus;
    }

    // Styles count as in use only when the application and the desktop are both themed.
    bool stylesInUse() const { return false; }

private:
    TThemeNexus() = default;
};

} // namespace tintora
