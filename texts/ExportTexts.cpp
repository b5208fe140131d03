#include "texts/ExportTexts.h"

#include "texts/LabelTable.h"

namespace velomira {
namespace {

constexpr LabelRow<ExportText> kRows[] = {
    { ExportText::ExportTrack, "트랙 내보내기…", "Export track…", "トラックを書き出す…" },
    { ExportText::SaveSnapshot, "스냅샷 저장…", "Save snapshot…", "スナップショットを保存…" },
    { ExportText::CutClip, "클립 자르기…", "Cut clip…", "クリップを切り出す…" },
    { ExportText::MarkStart, "시작 지점 표시", "Mark start", "開始点をマーク" },
    { ExportText::MarkEnd, "끝 지점 표시", "Mark end", "終了点をマーク" },
    { ExportText::SaveClip, "클립 저장…", "Save clip…", "クリップを保存…" },
    { ExportText::TrackFileTypes, "GPX 트랙 (*.gpx);;KML (*.kml);;CSV (*.csv)",
        "GPX track (*.gpx);;KML (*.kml);;CSV (*.csv)",
        "GPX トラック (*.gpx);;KML (*.kml);;CSV (*.csv)" },
    { ExportText::SnapshotFileTypes, "JPEG 사진 (*.jpg);;PNG 사진 (*.png)",
        "JPEG picture (*.jpg);;PNG picture (*.png)", "JPEG 画像 (*.jpg);;PNG 画像 (*.png)" },
    { ExportText::Saved, "저장했습니다.\n%s", "Saved.\n%s", "保存しました。\n%s" },
    { ExportText::NotSaved, "저장하지 못했습니다.\n%s", "Could not save.\n%s",
        "保存できませんでした。\n%s" },
    { ExportText::Cutting, "클립을 자르는 중…", "Cutting the clip…",
        "クリップを切り出しています…" },
    { ExportText::Cancel, "취소", "Cancel", "キャンセル" },
};

} // namespace

std::string ExportLabel(ExportText text, int language)
{
    return LabelFrom<ExportText>(kRows, text, language);
}

} // namespace velomira
