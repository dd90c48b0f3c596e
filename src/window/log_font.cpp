// The font conversion between the settings record and the platform.
#include "window/log_font.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace veltra {

LOGFONTW ToLogFont(const FontRecord& font) {
  LOGFONTW log{};
  log.lfHeight = font.lfHeight;
  log.lfWidth = font.lfWidth;
  log.lfEscapement = font.lfEscapement;
  log.lfOrientation = font.lfOrientation;
  log.lfWeight = font.lfWeight;
  log.lfItalic = font.lfItalic;
  log.lfUnderline = font.lfUnderline;
  log.lfStrikeOut = font.lfStrikeOut;
  log.lfCharSet = font.lfCharSet;
  log.lfOutPrecision = font.lfOutPrecision;
  log.lfClipPrecision = font.lfClipPrecision;
  log.lfQuality = font.lfQuality;
  log.lfPitchAndFamily = font.lfPitchAndFamily;
  // The record never holds more than the field takes, but the copy must
  // not rely on that.
  const std::size_t length = std::min(font.lfFaceName.size(), std::size(log.lfFaceName) - 1);
  std::copy_n(font.lfFaceName.data(), length, log.lfFaceName);
  return log;
}

FontRecord FromLogFont(const LOGFONTW& font) {
  FontRecord record;
  record.lfHeight = font.lfHeight;
  record.lfWidth = font.lfWidth;
  record.lfEscapement = font.lfEscapement;
  record.lfOrientation = font.lfOrientation;
  record.lfWeight = font.lfWeight;
  record.lfItalic = font.lfItalic;
  record.lfUnderline = font.lfUnderline;
  record.lfStrikeOut = font.lfStrikeOut;
  record.lfCharSet = font.lfCharSet;
  record.lfOutPrecision = font.lfOutPrecision;
  record.lfClipPrecision = font.lfClipPrecision;
  record.lfQuality = font.lfQuality;
  record.lfPitchAndFamily = font.lfPitchAndFamily;
  record.lfFaceName.assign(font.lfFaceName, ::wcsnlen(font.lfFaceName, std::size(font.lfFaceName) - 1));
  return record;
}

}  // namespace veltra
