#include "batch/CheckPicture.h"

#if KALVEX_HAVE_PICTURES
#include "plots/qt/FigurePainter.h"
#endif

namespace kalvex::batch {

std::optional<std::string> EncodeCheckPicture(const plots::Figure& figure, const std::string& path,
                                              std::string& bytes) {
#if KALVEX_HAVE_PICTURES
  return plots::EncodeFigurePicture(figure, path, bytes);
#else
  (void)figure, (void)path, (void)bytes;
  return "this build draws no pictures";
#endif
}

}  // namespace kalvex::batch
