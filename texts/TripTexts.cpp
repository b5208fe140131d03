#include "texts/TripTexts.h"

#include "texts/LabelTable.h"

namespace velomira {
namespace {

constexpr LabelRow<TripText> kRows[] = {
    { TripText::Trips, "주행 기록", "TRIPS", "トリップ" },
    { TripText::Start, "시작", "Start", "開始" },
    { TripText::End, "끝", "End", "終了" },
    { TripText::Duration, "시간", "Duration", "時間" },
    { TripText::Distance, "거리", "Distance", "距離" },
    { TripText::MaxSpeed, "최고 속도", "Max speed", "最高速度" },
    { TripText::AverageSpeed, "평균 속도", "Average speed", "平均速度" },
    { TripText::Recordings, "녹화", "Recordings", "録画" },
    { TripText::Events, "이벤트", "Events", "イベント" },
    { TripText::Marks, "표시", "Marks", "マーク" },
    { TripText::ExportTrip, "주행 내보내기…", "Export trip…", "トリップを書き出す…" },
    { TripText::TrackFileTypes, "GPX 트랙 (*.gpx);;KML (*.kml)", "GPX track (*.gpx);;KML (*.kml)",
        "GPX トラック (*.gpx);;KML (*.kml)" },
    { TripText::Reading, "읽는 중 %v / %m", "Reading %v of %m", "読み込み中 %v / %m" },
    { TripText::NoCard, "SD 카드가 없습니다.", "No SD card.", "SDカードがありません。" },
    { TripText::HardMove, "급가속·급회전", "Hard acceleration or turn", "急加速・急旋回" },
    { TripText::LaneDepartureLeft, "왼쪽 차선 이탈", "Lane departure (left)", "車線逸脱（左）" },
    { TripText::LaneDepartureRight, "오른쪽 차선 이탈", "Lane departure (right)",
        "車線逸脱（右）" },
    { TripText::ForwardCollision, "앞차 추돌 경고", "Forward collision warning", "前方衝突警報" },
    { TripText::NoTrack, "읽을 수 없음", "cannot be read", "読み込めません" },
};

} // namespace

std::string TripLabel(TripText text, int language)
{
    return LabelFrom<TripText>(kRows, text, language);
}

} // namespace velomira
