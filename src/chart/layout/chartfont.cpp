#include "chart/layout/chartfont.h"

#include <fontconfig/fontconfig.h>

#include <QFontDatabase>
#include <QGuiApplication>
#include <set>
#include <string>

namespace chart {

namespace {

// DejaVu Sans holds every character the chart writes itself ("…", "×", "·", superscript digits
// and minus, the narrow no-break space that groups digits) and Latin, Greek and Cyrillic
// besides; it is what Debian answers for "sans-serif", so charts look as they did.
constexpr const char* kFamily = "DejaVu Sans";
constexpr const char* kFontFiles[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf",
                                      "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"};

// The files of every font of the family that the font configuration lists.
std::set<std::string> ListedFilesOfFamily() {
  std::set<std::string> files;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* properties = FcObjectSetBuild(FC_FILE, nullptr);
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFamily));
  if (FcFontSet* fonts = FcFontList(nullptr, pattern, properties)) {
    for (int i = 0; i < fonts->nfont; ++i) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
        files.insert(reinterpret_cast<const char*>(file));
      }
    }
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(properties);
  FcPatternDestroy(pattern);
  return files;
}

// Qt's font list has the family from the configuration's fonts: where these are our four files
// and others of the same folder (the package's other widths and weights), Qt already holds
// exactly what loading them would give, and reading them again is most of a start's font cost.
bool ListedFromOurFilesAlone() {
  const std::set<std::string> listed = ListedFilesOfFamily();
  const std::string folder = kChartFontFolder;
  for (const std::string& file : listed) {
    if (file.compare(0, folder.size(), folder) != 0) return false;
  }
  for (const char* file : kFontFiles) {
    if (!listed.count(folder + file)) return false;
  }
  return true;
}

// Antialiasing is the one rendering setting that Qt takes from the font configuration for a
// font whose hinting and subpixel rendering are asked for: a rule after the configuration's own
// turns it on for the family's files (and the autohinter off, as Debian has it), so that
// neither a configuration nor a desktop setting changes the chart's glyphs.
void RenderOurFilesTheSameEverywhere() {
  std::string rules = "<fontconfig>";
  for (const char* file : kFontFiles) {
    rules += std::string("<match target=\"font\"><test name=\"file\"><string>") + kChartFontFolder +
             file +
             "</string></test><edit name=\"antialias\" mode=\"assign\"><bool>true</bool></edit>"
             "<edit name=\"autohint\" mode=\"assign\"><bool>false</bool></edit></match>";
  }
  rules += "</fontconfig>";
  FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(),
                                 reinterpret_cast<const FcChar8*>(rules.c_str()), FcFalse);
}

QString LoadChartFontFamily() {
  RenderOurFilesTheSameEverywhere();
  if (ListedFromOurFilesAlone()) return kFamily;
  QString family;
  for (const char* file : kFontFiles) {
    const int id = QFontDatabase::addApplicationFont(QString(kChartFontFolder) + file);
    if (id >= 0 && family.isEmpty()) family = QFontDatabase::applicationFontFamilies(id).value(0);
  }
  return family.isEmpty() ? QGuiApplication::font().family() : family;
}

}  // namespace

const QString& ChartFontFamily() {
  static const QString family = LoadChartFontFamily();
  return family;
}

}  // namespace chart
