#include "imaging/GifImage.h"

namespace tintora {

void registerGifReader()
{
    registerGraphicReader("gif", [] { return std::make_unique<GifImage>(); });
}

} // namespace tintora
