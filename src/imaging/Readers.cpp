#include "imaging/Readers.h"

#include "imaging/BmpReader.h"
#include "imaging/GifImage.h"
#include "imaging/JpegImage.h"
#include "imaging/Picture.h"

#include <mutex>

namespace tintora {

void registerStandardReaders()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerGraphicReader("bmp", [] { return std::make_unique<BitmapGraphic>(); });
        registerJpegReader();
        registerGifReader();
    });
}

} // namespace tintora
