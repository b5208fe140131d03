// The thirteen settings pages as data: every control with its id, caption, word, value,
// rule and limits, in reading order, which is also the order the pages read their edit
// fields in. Captions are the device's own, spelling included. Where a Japanese page
// names no text of its own for a frame or label, it keeps the English page's text.
#include "settings/editor/PageTables.h"

#include <array>

namespace velomira {
namespace {

using K = ControlKind;
using R = StoreRule;

constexpr ControlPlan Check(
    int id, std::string_view caption, int word, int group, int line, std::string_view name)
{
    ControlPlan c;
    c.id = id;
    c.kind = K::CheckBox;
    c.caption = caption;
    c.word = word;
    c.rule = R::Flag;
    c.group = group;
    c.line = line;
    c.name = name;
    return c;
}

constexpr ControlPlan Radio(int id, std::string_view caption, int word, int value, int group,
    int line, std::string_view name, StoreRule rule = R::Value)
{
    ControlPlan c;
    c.id = id;
    c.kind = K::Radio;
    c.caption = caption;
    c.word = word;
    c.value = value;
    c.rule = rule;
    c.group = group;
    c.line = line;
    c.name = name;
    return c;
}

constexpr ControlPlan Edit(int id, int word, StoreRule rule, int group, int line,
    std::string_view label, std::string_view unit, std::string_view name, int low = 1, int high = 0)
{
    ControlPlan c;
    c.id = id;
    c.kind = K::Edit;
    c.word = word;
    c.rule = rule;
    c.low = low;
    c.high = high;
    c.group = group;
    c.line = line;
    c.label = label;
    c.unit = unit;
    c.name = name;
    return c;
}

constexpr ControlPlan Slider(
    int id, int word, int field, int group, int line, std::string_view label, std::string_view name)
{
    ControlPlan c;
    c.id = id;
    c.kind = K::Slider;
    c.word = word;
    c.rule = R::SliderRound;
    c.group = group;
    c.line = line;
    c.label = label;
    c.name = name;
    c.partner = field;
    return c;
}

constexpr ControlPlan Field(int id, int word, int group, int line, std::string_view unit)
{
    ControlPlan c;
    c.id = id;
    c.kind = K::Field;
    c.word = word;
    c.group = group;
    c.line = line;
    c.unit = unit;
    return c;
}

constexpr ControlPlan List(int id, int word, ListTexts texts, int group, int line,
    std::string_view label, std::string_view name)
{
    ControlPlan c;
    c.id = id;
    c.kind = K::DropDown;
    c.word = word;
    c.rule = R::Index;
    c.group = group;
    c.line = line;
    c.label = label;
    c.name = name;
    c.list = texts;
    return c;
}

constexpr ControlPlan Labelled(ControlPlan c, std::string_view label)
{
    c.label = label;
    return c;
}

constexpr ControlPlan Hidden(ControlPlan c)
{
    c.hidden = true;
    return c;
}

// ---- Driving-assistance page -------------------------------------------------------

constexpr std::array<GroupPlan, 4> kAssistKoGroups { { { "동작설정", 0 }, { "전방추돌경보", 1 },
    { "경보민감도", 0 }, { "차선이탈경보", 1 } } };
constexpr std::array<ControlPlan, 10> kAssistKo { {
    Check(1231, "전방추돌경보", 90, 0, 0, "fcw"),
    Check(1232, "차선이탈경보", 36, 0, 1, "ldw"),
    Check(1233, "차량출발안내", 58, 0, 2, "beep-watch"),
    Edit(1234, 108, R::WholeMinusFive, 1, 0, "동작속도", "km/h", "fcw-speed-kmh"),
    Radio(1235, "민감", 114, 0, 2, 0, "warning-level"),
    Radio(1236, "보통", 114, 1, 2, 0, "warning-level"),
    Radio(1237, "둔감", 114, 2, 2, 0, "warning-level"),
    Edit(1238, 50, R::WholeMinusFive, 3, 0, "동작속도", "km/h", "ldw-speed-kmh"),
    Edit(1098, 54, R::Whole, 3, 1, "좌측경보민감도", "", "ldw-level-left"),
    Edit(1099, 56, R::Whole, 3, 2, "우측경보민감도", "", "ldw-level-right"),
} };

constexpr std::array<GroupPlan, 4> kAssistEnGroups { { { "ON/OFF", 0 }, { "FCW", 1 },
    { "Warning Level", 0 }, { "LDW", 1 } } };
constexpr std::array<ControlPlan, 10> kAssistEn { {
    Check(1281, "FCW", 90, 0, 0, "fcw"),
    Check(1282, "LDW", 36, 0, 1, "ldw"),
    Check(1283, "Beep & Watch", 58, 0, 2, "beep-watch"),
    Edit(1284, 108, R::WholeMinusFive, 1, 0, "Operating Speed", "km/h", "fcw-speed-kmh", 20, 80),
    Radio(1288, "Sensitive", 114, 0, 2, 0, "warning-level"),
    Radio(1289, "Normal", 114, 1, 2, 0, "warning-level"),
    Radio(1290, "Insensitive", 114, 2, 2, 0, "warning-level"),
    Edit(1285, 50, R::WholeMinusFive, 3, 0, "Operating Speed", "km/h", "ldw-speed-kmh", 40, 80),
    Edit(1286, 54, R::Whole, 3, 1, "Warning Level(L)", "", "ldw-level-left", 1, 9),
    Edit(1287, 56, R::Whole, 3, 2, "Warning Level(R)", "", "ldw-level-right", 1, 9),
} };

constexpr std::array<GroupPlan, 4> kAssistJaGroups { { { "ON/OFF", 0 }, { "前方衝突警戒", 1 },
    { "アラーム感度", 0 }, { "車線逸脱警戒", 1 } } };
constexpr std::array<ControlPlan, 10> kAssistJa { {
    Check(1380, "前方衝突警戒", 90, 0, 0, "fcw"),
    Check(1381, "車線逸脱警戒", 36, 0, 1, "ldw"),
    Check(1382, "前車発進お知らせ", 58, 0, 2, "beep-watch"),
    Edit(1383, 108, R::WholeMinusFive, 1, 0, "Operating Speed", "km/h", "fcw-speed-kmh", 20, 80),
    Radio(1385, "高", 114, 0, 2, 0, "warning-level"),
    Radio(1386, "中", 114, 1, 2, 0, "warning-level"),
    Radio(1387, "低", 114, 2, 2, 0, "warning-level"),
    Edit(1384, 50, R::WholeMinusFive, 3, 0, "Operating Speed", "km/h", "ldw-speed-kmh", 40, 80),
    Edit(1388, 54, R::Whole, 3, 1, "アラーム感度（左）", "", "ldw-level-left", 1, 9),
    Edit(1389, 56, R::Whole, 3, 2, "アラーム感度（右）", "", "ldw-level-right", 1, 9),
} };

// ---- Recorder page -----------------------------------------------------------------

constexpr std::array<GroupPlan, 4> kRecorderKoGroups { { { "일반설정", 0 }, { "저장민감도", 0 },
    { "해상도설정", 1 }, { "감시설정", 1 } } };
constexpr std::array<ControlPlan, 12> kRecorderKo { {
    Check(1239, "연속저장", 116, 0, 0, "continuous-recording"),
    Check(1240, "음성저장", 118, 0, 1, "voice-recording"),
    Radio(1241, "민감", 128, 0, 1, 0, "impact-level"),
    Radio(1242, "보통", 128, 1, 1, 0, "impact-level"),
    Radio(1243, "둔감", 128, 2, 1, 0, "impact-level"),
    Radio(1197, "FULL HD", 132, 0, 2, 0, "resolution"),
    Radio(1198, "HD", 132, 1, 2, 0, "resolution"),
    Radio(1199, "VGA", 132, 2, 2, 0, "resolution"),
    Labelled(Radio(1244, "민감", 130, 0, 3, 0, "motion-level"), "저장민감도"),
    Radio(1245, "보통", 130, 1, 3, 0, "motion-level"),
    Radio(1246, "둔감", 130, 2, 3, 0, "motion-level"),
    List(1339, 160, ListTexts::Voltage, 3, 1, "방전방지전압", "voltage"),
} };

constexpr std::array<GroupPlan, 5> kRecorderEnGroups { { { "Common Setup", 0 },
    { "Impact Level", 0 }, { "Resolution", 1 }, { "Impact level for G sensor", 1 },
    { "CCTV Setup", 1, true } } };
constexpr std::array<ControlPlan, 18> kRecorderEn { {
    Check(1291, "Continuous Recording", 116, 0, 0, "continuous-recording"),
    Check(1292, "Voice Recording", 118, 0, 1, "voice-recording"),
    Radio(1297, "Sensitive", 128, 0, 1, 0, "impact-level", R::ImpactPreset),
    Radio(1298, "Normal", 128, 1, 1, 0, "impact-level", R::ImpactPreset),
    Radio(1299, "Insensitive", 128, 2, 1, 0, "impact-level", R::ImpactPreset),
    Radio(1300, "FULL HD", 132, 0, 2, 0, "resolution"),
    Radio(1301, "HD", 132, 1, 2, 0, "resolution"),
    Radio(1302, "VGA", 132, 2, 2, 0, "resolution"),
    Slider(1410, 120, 1096, 3, 0, "X", "impact-x"),
    Field(1096, 120, 3, 0, "G"),
    Slider(1113, 122, 1097, 3, 1, "Y", "impact-y"),
    Field(1097, 122, 3, 1, "G"),
    Slider(1114, 124, 1099, 3, 2, "Z", "impact-z"),
    Field(1099, 124, 3, 2, "G"),
    Hidden(Labelled(Radio(1294, "Sensitive", 130, 0, 4, 0, "motion-level"), "Motion Level")),
    Hidden(Radio(1295, "Normal", 130, 1, 4, 0, "motion-level")),
    Hidden(Radio(1296, "Insensitive", 130, 2, 4, 0, "motion-level")),
    Hidden(List(1339, 160, ListTexts::Voltage, 4, 1, "Voltage Level", "voltage")),
} };

constexpr std::array<GroupPlan, 5> kRecorderJaGroups { { { "基本設定", 0 }, { "衝撃検知レベル", 0 },
    { "Resolution", 1 }, { "Gセンサー衝撃検知レベル微調整", 1 },
    { "駐車監視モード設定", 1, true } } };
constexpr std::array<ControlPlan, 18> kRecorderJa { {
    Check(1362, "常時録画自動スタート", 116, 0, 0, "continuous-recording"),
    Check(1363, "音声記録", 118, 0, 1, "voice-recording"),
    Radio(1365, "高", 128, 0, 1, 0, "impact-level", R::ImpactPreset),
    Radio(1366, "中", 128, 1, 1, 0, "impact-level", R::ImpactPreset),
    Radio(1367, "低", 128, 2, 1, 0, "impact-level", R::ImpactPreset),
    Radio(1371, "FULL HD", 132, 0, 2, 0, "resolution"),
    Radio(1372, "HD", 132, 1, 2, 0, "resolution"),
    Radio(1373, "VGA", 132, 2, 2, 0, "resolution"),
    Slider(1410, 120, 1096, 3, 0, "X", "impact-x"),
    Field(1096, 120, 3, 0, "G"),
    Slider(1113, 122, 1097, 3, 1, "Y", "impact-y"),
    Field(1097, 122, 3, 1, "G"),
    Slider(1114, 124, 1099, 3, 2, "Z", "impact-z"),
    Field(1099, 124, 3, 2, "G"),
    Hidden(Labelled(Radio(1368, "高", 130, 0, 4, 0, "motion-level"), "変化レベル")),
    Hidden(Radio(1369, "中", 130, 1, 4, 0, "motion-level")),
    Hidden(Radio(1370, "低", 130, 2, 4, 0, "motion-level")),
    Hidden(List(1364, 160, ListTexts::Voltage, 4, 1, "作動停止電圧", "voltage")),
} };

// ---- System page -------------------------------------------------------------------

constexpr std::array<GroupPlan, 6> kSystemKoGroups { { { "음량조절", 0 }, { "음성알림", 0 },
    { "시스템설정", 0 }, { "화면설정", 1 }, { "텍스트표시", 1 }, { "언어설정", 1 } } };
constexpr std::array<ControlPlan, 22> kSystemKo { {
    Edit(1096, 152, R::WholeWrittenBack, 0, 0, "스피커 :", "max15", "speaker", 0, 15),
    Edit(1097, 154, R::WholeWrittenBack, 0, 1, "마이크 :", "max15", "mic", 0, 15),
    Check(1217, "블랙박스저장", 164, 1, 0, "event-record"),
    Check(1218, "전방추돌경보", 94, 1, 1, "voice-fcw"),
    Check(1219, "차선이탈경보", 40, 1, 2, "voice-ldw"),
    Check(1220, "차량출발안내", 62, 1, 3, "voice-beep-watch"),
    Labelled(Radio(1193, "km/h", 140, 0, 2, 0, "speed-unit"), "단위"),
    Radio(1194, "mph", 140, 1, 2, 0, "speed-unit"),
    Labelled(Radio(1248, "전방", 134, 0, 3, 0, "view"), "화면보기"),
    Radio(1249, "후방", 134, 1, 3, 0, "view"),
    Radio(1250, "PIP", 134, 2, 3, 0, "view"),
    Labelled(Radio(1251, "항상켜짐", 136, 0, 3, 1, "lcd"), "LCD보기"),
    Radio(1192, "30초후꺼짐", 136, 1, 3, 1, "lcd"),
    Check(1136, "속도", 138, 4, 0, "show-speed"),
    Check(1137, "스마트기능", 142, 4, 1, "show-smartcar"),
    Check(1138, "지평선", 144, 4, 2, "show-horizon"),
    Radio(1213, "English", 146, 1, 5, 0, "language", R::LanguagePair),
    Radio(1214, "한국어", 146, 2, 5, 0, "language", R::LanguagePair),
    Radio(1215, "日本語", 146, 0, 5, 0, "language", R::LanguagePair),
    Hidden(Radio(1216, "중국어", 146, 3, 5, 1, "language", R::LanguagePair)),
    Hidden(Radio(1221, "스페인어", 146, 4, 5, 1, "language", R::LanguagePair)),
    Hidden(Radio(1222, "러시아어", 146, 5, 5, 1, "language", R::LanguagePair)),
} };

constexpr std::array<GroupPlan, 6> kSystemEnGroups { { { "Volume Control", 0 },
    { "Voice Alarm", 0 }, { "System Setup", 0 }, { "LCD Setting", 1 }, { "LCD Display", 1 },
    { "Language", 1 } } };
constexpr std::array<ControlPlan, 22> kSystemEn { {
    Edit(1303, 152, R::WholeWrittenBack, 0, 0, "Speaker :", "max15", "speaker", 0, 15),
    Edit(1304, 154, R::WholeWrittenBack, 0, 1, "Mic :", "max15", "mic", 0, 15),
    Check(1305, "Event Record", 164, 1, 0, "event-record"),
    Check(1306, "FCW", 94, 1, 1, "voice-fcw"),
    Check(1307, "LDW", 40, 1, 2, "voice-ldw"),
    Check(1308, "Beep & Watch", 62, 1, 3, "voice-beep-watch"),
    Labelled(Radio(1317, "km/h", 140, 0, 2, 0, "speed-unit"), "Unit"),
    Radio(1318, "mph", 140, 1, 2, 0, "speed-unit"),
    Labelled(Radio(1309, "Front", 134, 0, 3, 0, "view"), "Select View"),
    Radio(1310, "Rear", 134, 1, 3, 0, "view"),
    Radio(1311, "PIP", 134, 2, 3, 0, "view"),
    Labelled(Radio(1312, "Always On", 136, 0, 3, 1, "lcd"), "Screen Save"),
    Radio(1313, "30sec On", 136, 1, 3, 1, "lcd"),
    Check(1314, "Speed", 138, 4, 0, "show-speed"),
    Check(1315, "Smart Car", 142, 4, 1, "show-smartcar"),
    Check(1316, "Horizon", 144, 4, 2, "show-horizon"),
    Radio(1319, "日本語", 146, 0, 5, 0, "language", R::LanguagePair),
    Radio(1320, "English", 146, 1, 5, 0, "language", R::LanguagePair),
    Hidden(Radio(1321, "한국어", 146, 2, 5, 1, "language", R::LanguagePair)),
    Hidden(Radio(1322, "중국어", 146, 3, 5, 1, "language", R::LanguagePair)),
    Hidden(Radio(1323, "스페인어", 146, 4, 5, 1, "language", R::LanguagePair)),
    Hidden(Radio(1324, "러시아어", 146, 5, 5, 1, "language", R::LanguagePair)),
} };

constexpr std::array<GroupPlan, 6> kSystemJaGroups { { { "Volume Control", 0 },
    { "音声アラーム", 0 }, { "システム設定", 0 }, { "画面設定", 1 }, { "画面表示", 1 },
    { "Language", 1 } } };
constexpr std::array<ControlPlan, 22> kSystemJa { {
    Edit(1340, 152, R::WholeWrittenBack, 0, 0, "スピーカー :", "MAX 15", "speaker", 0, 15),
    Edit(1341, 154, R::WholeWrittenBack, 0, 1, "マイク :", "MAX 15", "mic", 0, 15),
    Check(1342, "イベント録画", 164, 1, 0, "event-record"),
    Check(1343, "前方衝突警戒", 94, 1, 1, "voice-fcw"),
    Check(1344, "車線逸脱警戒", 40, 1, 2, "voice-ldw"),
    Check(1345, "前車発進お知らせ", 62, 1, 3, "voice-beep-watch"),
    Labelled(Radio(1354, "km/h", 140, 0, 2, 0, "speed-unit"), "Unit"),
    Radio(1355, "mph", 140, 1, 2, 0, "speed-unit"),
    Labelled(Radio(1346, "前方", 134, 0, 3, 0, "view"), "画面選択"),
    Radio(1347, "後方", 134, 1, 3, 0, "view"),
    Radio(1348, "PIP", 134, 2, 3, 0, "view"),
    Labelled(Radio(1349, "OFF(消灯なし)", 136, 0, 3, 1, "lcd"), "Screen Save"),
    Radio(1350, "30秒", 136, 1, 3, 1, "lcd"),
    Check(1351, "速度", 138, 4, 0, "show-speed"),
    Check(1352, "運転支援", 142, 4, 1, "show-smartcar"),
    Check(1353, "水平ライン", 144, 4, 2, "show-horizon"),
    Radio(1356, "日本語", 146, 0, 5, 0, "language", R::LanguagePair),
    Radio(1357, "English", 146, 1, 5, 0, "language", R::LanguagePair),
    Hidden(Radio(1358, "한국어", 146, 2, 5, 1, "language", R::LanguagePair)),
    Hidden(Radio(1359, "중국어", 146, 3, 5, 1, "language", R::LanguagePair)),
    Hidden(Radio(1360, "스페인어", 146, 4, 5, 1, "language", R::LanguagePair)),
    Hidden(Radio(1361, "러시아어", 146, 5, 5, 1, "language", R::LanguagePair)),
} };

// ---- Install page ------------------------------------------------------------------

constexpr std::array<GroupPlan, 2> kInstallKoGroups { { { "", 0 }, { "제원입력", 0 } } };
constexpr std::array<ControlPlan, 12> kInstallKo { {
    Labelled(Radio(1219, "승용차", 12, 0, 0, 0, "vehicle-type", R::VehicleType), "차종설정 : "),
    Radio(1220, "경차", 12, 3, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1221, "SUV", 12, 1, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1222, "RV", 12, 4, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1223, "버스", 12, 2, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1224, "트럭", 12, 5, 0, 0, "vehicle-type", R::VehicleType),
    Labelled(Radio(1225, "좌측", 20, 0, 0, 1, "position"), "위치설정 :"),
    Radio(1226, "중앙", 20, 1, 0, 1, "position"),
    Radio(1227, "우측", 20, 2, 0, 1, "position"),
    Edit(1268, 14, R::Metres, 1, 0, "제품높이 :", "m", "camera-height-m"),
    Edit(1229, 16, R::Metres, 1, 1, "차폭 :", "m", "vehicle-width-m"),
    Edit(1230, 10, R::Centimetres, 1, 2, "부착위치 :", "cm", "offset-cm"),
} };

constexpr std::array<GroupPlan, 2> kInstallEnGroups { { { "", 0 },
    { "Device Position Setting", 0 } } };
constexpr std::array<ControlPlan, 12> kInstallEn { {
    Labelled(Radio(1259, "Sedan", 12, 0, 0, 0, "vehicle-type", R::VehicleType), "Vehicle Type :"),
    Radio(1271, "Compact Car", 12, 3, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1272, "SUV", 12, 1, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1273, "RV", 12, 4, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1274, "Bus", 12, 2, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1275, "Truck", 12, 5, 0, 0, "vehicle-type", R::VehicleType),
    Labelled(Radio(1276, "Left", 20, 0, 0, 1, "position"), "Attatced Position : "),
    Radio(1277, "Center", 20, 1, 0, 1, "position"),
    Radio(1278, "Right", 20, 2, 0, 1, "position"),
    Edit(1268, 14, R::MetresRounded, 1, 0, "Camera Height :", "m", "camera-height-m", 1, 3),
    Edit(1279, 16, R::MetresRounded, 1, 1, "Vehicle Widht :", "m", "vehicle-width-m", 1, 3),
    Edit(1280, 10, R::Centimetres, 1, 2, "Attached Position : ", "cm", "offset-cm", 0, 30),
} };

constexpr std::array<GroupPlan, 2> kInstallJaGroups { { { "", 0 }, { "取付状況", 0 } } };
constexpr std::array<ControlPlan, 12> kInstallJa { {
    Labelled(Radio(1390, "乗用車", 12, 0, 0, 0, "vehicle-type", R::VehicleType), "車種 :"),
    Radio(1391, "コンパクトカー", 12, 3, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1392, "SUV", 12, 1, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1393, "ミニバン", 12, 4, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1394, "バス", 12, 2, 0, 0, "vehicle-type", R::VehicleType),
    Radio(1395, "トラック", 12, 5, 0, 0, "vehicle-type", R::VehicleType),
    Labelled(Radio(1396, "左側", 20, 0, 0, 1, "position"), "取付位置 : "),
    Radio(1397, "中央", 20, 1, 0, 1, "position"),
    Radio(1398, "右側", 20, 2, 0, 1, "position"),
    Edit(1399, 14, R::MetresRounded, 1, 0, "カメラ位置(地上高):", "m (0.1m単位)", "camera-height-m",
        1, 3),
    Edit(1400, 16, R::MetresRounded, 1, 1, "車幅:", "m (0.1m単位)", "vehicle-width-m", 1, 3),
    Edit(1401, 10, R::Centimetres, 1, 2, "取付位置補正(中央から左右へのずれ):", "cm (1cm単位)",
        "offset-cm", 0, 30),
} };

// ---- GMT page ----------------------------------------------------------------------

constexpr std::array<GroupPlan, 1> kGmtGroups { { { "Setting GMT", 0 } } };
constexpr std::array<ControlPlan, 1> kGmt { {
    List(1335, 166, ListTexts::Gmt, 0, 0, "GMT+", "gmt"),
} };

constexpr std::array<PageTable, 13> kPages { {
    { PageKind::DrivingAssistance, 2, 6388, "CTabTwoDlg", kAssistKoGroups, kAssistKo },
    { PageKind::DrivingAssistance, 1, 7388, "CTabTwoEngDlg", kAssistEnGroups, kAssistEn },
    { PageKind::DrivingAssistance, 0, 7389, "CTabTwoJpnDlg", kAssistJaGroups, kAssistJa },
    { PageKind::Recorder, 2, 6389, "CTabThreeDlg", kRecorderKoGroups, kRecorderKo },
    { PageKind::Recorder, 1, 7392, "CTabThreeEngDlg", kRecorderEnGroups, kRecorderEn },
    { PageKind::Recorder, 0, 7397, "CTabThreeJpnDlg", kRecorderJaGroups, kRecorderJa },
    { PageKind::System, 2, 6390, "CTabFourDlg", kSystemKoGroups, kSystemKo },
    { PageKind::System, 1, 7393, "CTabFourEngDlg", kSystemEnGroups, kSystemEn },
    { PageKind::System, 0, 9396, "CTabFourJpnDlg", kSystemJaGroups, kSystemJa },
    { PageKind::Install, 2, 6391, "CTabOneDlg", kInstallKoGroups, kInstallKo },
    { PageKind::Install, 1, 7391, "CTabOneEngDlg", kInstallEnGroups, kInstallEn },
    { PageKind::Install, 0, 7399, "CTabOneJpnDlg", kInstallJaGroups, kInstallJa },
    { PageKind::Gmt, -1, 7395, "CTabFiveDlg", kGmtGroups, kGmt },
} };

// Every array is exactly as long as its list: a missing row would leave a control with id 0.
constexpr bool EveryControlHasAnId()
{
    for (const PageTable& page : kPages) {
        for (const ControlPlan& control : page.controls) {
            if (control.id == 0)
                return false;
        }
    }
    return true;
}
static_assert(EveryControlHasAnId());

constexpr std::array<std::string_view, kSetupTabs> kTabsKo { "스마트카", "블랙박스", "환경설정",
    "차종설정", "GMT" };
constexpr std::array<std::string_view, kSetupTabs> kTabsEn { "SmartCar", "BlackBox", "Setup",
    "Install", "GMT" };
constexpr std::array<std::string_view, kSetupTabs> kTabsJa { "運転支援", "ドライブレコーダー",
    "各種設定", "インストール", "GMT" };

constexpr std::array<VehiclePreset, 6> kPresets { {
    { 0, 1.3, 1.8 },
    { 3, 1.3, 1.6 },
    { 1, 1.5, 1.9 },
    { 4, 1.7, 1.9 },
    { 2, 1.6, 2.5 },
    { 5, 2.5, 2.5 },
} };

} // namespace

int EditorLanguage(int language)
{
    if (language >= 0 && language <= 2)
        return language;
    return language >= 3 && language <= 5 ? 1 : -1;
}

const PageTable* FindPageTable(PageKind kind, int language)
{
    if (language < 0 || language > 2)
        return nullptr;
    for (const PageTable& page : kPages) {
        if (page.kind == kind && (page.language == language || page.language == -1))
            return &page;
    }
    return nullptr;
}

std::span<const PageTable> AllPageTables()
{
    return kPages;
}

std::span<const std::string_view> TabCaptions(int language)
{
    switch (language) {
    case 2:
        return kTabsKo;
    case 1:
        return kTabsEn;
    case 0:
        return kTabsJa;
    default:
        return {};
    }
}

bool CheckedByNonZero(PageKind kind)
{
    return kind == PageKind::DrivingAssistance;
}

std::span<const VehiclePreset> VehiclePresets()
{
    return kPresets;
}

} // namespace velomira
