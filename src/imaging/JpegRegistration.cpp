#include "imaging/JpegImage.h"

namespace tintora {

void registerJpegReader()
{
    auto make = [] { return std::make_unique<JpegImage>(); };
    registerGraphicReader("jpg", make);
    registerGraphicReader("jpeg", make);
}

} // namespace tintora
