#include "app/WindowLayout.h"

#include <utility>

#include "config/params/ListItems.h"

namespace k54 {
namespace {

// Parameter pages: each holds one titled frame; a row is a bold label and its input.
constexpr Geometry kPageFrame{4, 2, 449, 188};
constexpr int kRowTop = 18;
constexpr int kRowPitch = 24;
constexpr int kLabelLeft = 8;
constexpr int kLabelWidth = 288;
constexpr int kInputLeft = 300;
constexpr int kListWidth = 140;
constexpr int kEditWidth = 80;

// The items of a parameter list row.
std::vector<std::string> itemsOf(int rowIndex) {
    const std::vector<std::string_view> texts = listItems(rowIndex);
    return {texts.begin(), texts.end()};
}

// The port list's design items "Сом 1" ... "Сом 255" (Cyrillic С and о), replaced at creation.
std::vector<std::string> designPortItems() {
    std::vector<std::string> items;
    for (int n = 1; n <= 255; ++n) items.push_back("Сом " + std::to_string(n));
    return items;
}

class LayoutBuilder {
public:
    ControlSpec& add(std::string name, ControlKind kind, std::string parent, Geometry geometry, std::string text = {}) {
        ControlSpec entry;
        entry.name = std::move(name);
        entry.kind = kind;
        entry.parent = std::move(parent);
        entry.geometry = geometry;
        entry.text = std::move(text);
        controls_.push_back(std::move(entry));
        return controls_.back();
    }

    ControlSpec& label(std::string name, std::string parent, Geometry geometry, std::string text) {
        return add(std::move(name), ControlKind::StaticText, std::move(parent), geometry, std::move(text));
    }

    ControlSpec& list(std::string name, std::string parent, Geometry geometry, std::vector<std::string> items,
                      int chosen = -1) {
        ControlSpec& entry = add(std::move(name), ControlKind::Combo, std::move(parent), geometry);
        entry.items = std::move(items);
        entry.itemIndex = chosen;
        return entry;
    }

    ControlSpec& edit(std::string name, std::string parent, Geometry geometry, std::string text) {
        ControlSpec& entry = add(std::move(name), ControlKind::Edit, std::move(parent), geometry, std::move(text));
        entry.maxLength = 6;
        return entry;
    }

    // A page with its frame; returns the frame's name, the parent of the page's rows.
    std::string page(std::string pageName, std::string caption, std::string frameName, std::string frameCaption) {
        add(pageName, ControlKind::Page, "PageControl_Ker5400_2", {}, std::move(caption));
        add(frameName, ControlKind::GroupBox, pageName, kPageFrame, std::move(frameCaption));
        return frameName;
    }

    // The bold label of a parameter row; the input goes to inputGeometry(row).
    void rowLabel(const std::string& frame, int row, const std::string& forControl, std::string text, int top = -1) {
        const int y = top >= 0 ? top : rowTop(row);
        label("Lbl_" + forControl, frame, {kLabelLeft, y + 2, kLabelWidth, 18}, std::move(text)).isLabel = true;
    }

    static int rowTop(int row) { return kRowTop + row * kRowPitch; }
    static Geometry listAt(int row, int width = kListWidth) { return {kInputLeft, rowTop(row), width, 21}; }
    static Geometry editAt(int row) { return {kInputLeft, rowTop(row), kEditWidth, 21}; }

    void listRow(const std::string& frame, int row, std::string name, std::string labelText,
                 std::vector<std::string> items, int chosen = -1) {
        rowLabel(frame, row, name, std::move(labelText));
        list(std::move(name), frame, listAt(row), std::move(items), chosen);
    }

    void editRow(const std::string& frame, int row, std::string name, std::string labelText, std::string text) {
        rowLabel(frame, row, name, std::move(labelText));
        edit(std::move(name), frame, editAt(row), std::move(text));
    }

    std::vector<ControlSpec> take() { return std::move(controls_); }

private:
    std::vector<ControlSpec> controls_;
};

void addTopArea(LayoutBuilder& b) {
    const std::string w{kWindowName};
    b.label("TitulControl", w, {140, 8, 132, 23}, "КЭР-5400-02(03)").visible = false;
    b.label("NameModeAll", w, {328, 8, 80, 23}, "0 - 320 Ом");

    b.add("MeasureL", ControlKind::GroupBox, w, {140, 28, 197, 53}, "Измерение").visible = false;
    b.add("Mgr_En", ControlKind::CheckBox, "MeasureL", {8, 22, 16, 17});
    b.add("Mgr_Id", ControlKind::Panel, "MeasureL", {28, 24, 13, 13});
    b.label("sMgr", "MeasureL", {46, 15, 104, 30}, "");
    b.label("sUnt", "MeasureL", {154, 15, 38, 30}, "");
    // Beyond the described window: the trend of the live value, in the free band right of the title.
    b.add("Mgr_Trend", ControlKind::Button, "MeasureL", {132, 0, 60, 15}, "График");

    b.add("GroupBox2", ControlKind::GroupBox, w, {140, 80, 196, 41}, "Текущее время");
    b.label("RealTime", "GroupBox2", {8, 17, 180, 18}, "2009.11.18  08:05:29");
}

void addConnectionGroup(LayoutBuilder& b) {
    const std::string g = "GroupBox20";
    b.add(g, ControlKind::GroupBox, std::string{kWindowName}, {340, 28, 217, 93}, "Компьютер");
    b.label("StaticText23", g, {8, 20, 66, 17}, "Компьютер");
    b.label("VerPC", g, {8, 38, 80, 17}, "v.0.00.0000");
    ControlSpec& connect = b.add("ConnectCom", ControlKind::LatchButton, g, {124, 16, 86, 27}, "Подключить");
    connect.checkable = true;
    b.label("StaticText1", g, {8, 52, 44, 15}, "Адрес");
    b.label("Spd_T", g, {58, 52, 70, 15}, "Скорость");
    b.label("StaticText2", g, {136, 52, 60, 15}, "Порт");
    b.edit("Adr_E", g, {8, 67, 44, 21}, "0");
    b.list("Spd_B", g, {58, 67, 72, 21}, itemsOf(row::Spd), 2);
    b.list("Com_B", g, {136, 67, 74, 21}, designPortItems()).announcesDropDown = true;
}

void addModePage(LayoutBuilder& b) {
    const std::string f = b.page("TabSheet2", "Режим", "GroupBox3", "Управление входом");
    b.rowLabel(f, 0, "Mod_B", "Тип датчика (dAt)");
    b.list("Mod_B", f, {150, LayoutBuilder::rowTop(0), 290, 21}, itemsOf(row::Mod));

    b.add("Panel_Tsp", ControlKind::GroupBox, f, {6, 44, 437, 74}, "Параметры входа при измерении сопротивления")
        .visible = false;
    b.rowLabel("Panel_Tsp", 0, "Sch_B", "Схема подключения");
    b.list("Sch_B", "Panel_Tsp", {294, 18, 137, 21}, itemsOf(row::Sch));
    b.add("Panel_Rlin", ControlKind::Panel, "Panel_Tsp", {2, 42, 433, 28}).visible = false;
    b.rowLabel("Panel_Rlin", 0, "rLn_E", "Компенсирующее сопротивление ", 2);
    b.edit("rLn_E", "Panel_Rlin", {292, 3, kEditWidth, 21}, "0.00");
    b.label("Lbl_rLn_Unit", "Panel_Rlin", {378, 5, 30, 17}, "Ом");

    b.add("Panel_Tmp", ControlKind::GroupBox, f, {6, 44, 437, 74}, "Параметры входа при термопарном измерении ")
        .visible = false;
    b.rowLabel("Panel_Tmp", 0, "Mcj_B", "Компенсация температуры холодного спая");
    b.list("Mcj_B", "Panel_Tmp", {294, 18, 137, 21}, itemsOf(row::Mcj), 0);

    b.listRow(f, 5, "Ufp_B", "Точность индикации (UF)", itemsOf(row::Ufp), 0);
}

void addSetpointPage(LayoutBuilder& b) {
    const std::string f = b.page("TabSheet3", "Уставки", "GroupBox4", "Уставки");
    b.label("Units", f, {kLabelLeft, 16, 200, 17}, "Уставки в единицах").isLabel = true;
    b.label("StaticText5", f, {kLabelLeft, 33, 200, 17}, "измерения параметра").isLabel = true;
    b.label("NameModeLim", f, {kInputLeft, 24, 140, 17}, "0 - 320 Ом").isLabel = true;
    b.editRow(f, 2, "Us1_E", "Уставка 1 (US_1)", "0.0");
    b.editRow(f, 3, "Gs1_E", "Гистерезис 1 (GS_1)", "0.1");
    b.editRow(f, 4, "Us2_E", "Уставка 2 (US_2)", "0.0");
    b.editRow(f, 5, "Gs2_E", "Гистерезис 2 (GS_2)", "0.1");
    b.listRow(f, 6, "Brn_B", "Датчик обрыва (CutE)", itemsOf(row::Brn), 0);
}

void addDisplayPage(LayoutBuilder& b) {
    const std::string f = b.page("TabSheet4", "Индикация", "GroupBox5", "Диапазон");
    b.listRow(f, 0, "Rng_B", "Диапазон преобразования (C_HS)", itemsOf(row::Rng), 0);
    b.editRow(f, 1, "Dpl_E", "Минимум диапазона (DpLo)", "0.0");
    b.editRow(f, 2, "Dph_E", "Максимум диапазона (DpHi)", "320.0");
    b.editRow(f, 3, "Iol_E", "Минимум диапазона (IoLo)", "0.0");
    b.editRow(f, 4, "Ioh_E", "Максимум диапазона (IoHi)", "100.0");
    b.listRow(f, 5, "Ind_B", "Цифровой индикатор (Ind)", itemsOf(row::Ind), 0);
    b.listRow(f, 6, "Ndt_B", "Усреднение (ndt)", itemsOf(row::Ndt));
}

void addBarPage(LayoutBuilder& b) {
    const std::string f = b.page("TabSheet7", "Линейный индикатор", "GroupBox6", "Аналоговая шкала");
    b.listRow(f, 0, "Lt__B", "Режим линейного индикатора (Lt)", itemsOf(row::Lt), 0);
    b.listRow(f, 1, "Lp__B", "Вид линейного индикатора (LP)", itemsOf(row::Lp));
    b.listRow(f, 2, "La__B", "Яркость линейного индикатора (LA)", itemsOf(row::La));
    b.listRow(f, 3, "Ld__B", "Яркость цифрового индикатора (Ld)", itemsOf(row::Ld));
    b.listRow(f, 4, "Rl1_B", "Канал 1 (rL1)", itemsOf(row::Rl1), 0);
    b.listRow(f, 5, "Rl2_B", "Канал 2 (rL2)", itemsOf(row::Rl2), 0);
}

void addCurrentOutputPage(LayoutBuilder& b) {
    const std::string f = b.page("TabSheet5", "Токовый выход", "GroupBox7", "Токовый выход");
    b.listRow(f, 0, "Out_B", "Режим токового выхода (IOdP)", itemsOf(row::Out));
    b.listRow(f, 1, "Sqr_B", "Корнеизвлечение (Sqrt)", itemsOf(row::Sqr), 0);
    b.listRow(f, 2, "Ien_B", "Фиксированный режим (I_En)", itemsOf(row::Ien), 0);
    b.editRow(f, 3, "Icd_E", "Значение (Icod)", "0.00");
}

void addInterfacePage(LayoutBuilder& b) {
    const std::string f = b.page("TabSheet6", "Интерфейс", "GroupBox8", "Прибор");
    ControlSpec& protocolLabel =
        b.label("Ptr_T", f, {kLabelLeft, LayoutBuilder::rowTop(0) + 2, kLabelWidth, 18}, "Протокол  обмена");
    protocolLabel.isLabel = true;
    protocolLabel.visible = false;
    b.list("Ptr_B", f, LayoutBuilder::listAt(0), itemsOf(row::Ptr), 0).visible = false;

    b.rowLabel(f, 1, "Psw_E", "Установка пароля");
    ControlSpec& password = b.add("Psw_E", ControlKind::MaskedEdit, f, {kInputLeft, LayoutBuilder::rowTop(1), 60, 21});
    password.editMask = "####;0; ";
    password.maxLength = 4;
    const std::string resetHint = "Аналогичен выключению и включению питания";
    const int buttonsTop = LayoutBuilder::rowTop(2) + 4;
    b.add("Psw_Write", ControlKind::Button, f, {kInputLeft, buttonsTop, 68, 25}, "Запись").hint = resetHint;
    b.add("Psw_Reset", ControlKind::Button, f, {kInputLeft + 72, buttonsTop, 68, 25}, "Сброс").hint = resetHint;
}

void addLowerArea(LayoutBuilder& b) {
    const std::string w{kWindowName};
    b.add("PageControl_Ker5400_2", ControlKind::PageControl, w, {4, 124, 465, 221});
    addModePage(b);
    addSetpointPage(b);
    addDisplayPage(b);
    addBarPage(b);
    addCurrentOutputPage(b);
    addInterfacePage(b);

    b.add("Config", ControlKind::GroupBox, w, {472, 124, 85, 133}, "Конфигурация").visible = false;
    b.add("Source", ControlKind::Button, "Config", {8, 22, 69, 25}, "Исходная").hint =
        "Установка в памяти компьютера заводских установок";
    // Configuration files, in the group's free space below "Исходная"; as wide as the group allows,
    // so that their longer captions are not cut.
    b.add("Cfg_Save", ControlKind::Button, "Config", {4, 52, 77, 25}, "Сохранить…");
    b.add("Cfg_Load", ControlKind::Button, "Config", {4, 82, 77, 25}, "Загрузить…");

    b.add("Bar_S", ControlKind::ProgressBar, w, {4, 348, 465, 9});
    b.add(std::string{kLogName}, ControlKind::Memo, w, {4, 360, 465, 117}).enabled = false;

    b.add("GroupBox1", ControlKind::GroupBox, w, {472, 356, 85, 121});
    b.add("ClearMemo", ControlKind::Button, "GroupBox1", {8, 14, 69, 25}, "Удалить");
    ControlSpec& exit = b.add("DemoExit", ControlKind::Button, "GroupBox1", {8, 88, 69, 25}, "Выход");
    exit.hint = "Выход из программы";
    exit.showHint = true;

    b.add(std::string{kStatusBarName}, ControlKind::StatusBar, w, {1, 477, 559, 31});
}

void addTimers(LayoutBuilder& b) {
    const std::string w{kWindowName};
    ControlSpec& poll = b.add("Timer_ReadMg", ControlKind::Timer, w, {});
    poll.interval = 100;
    poll.enabled = false;
    b.add("TimerReal", ControlKind::Timer, w, {}).interval = 1000;
    ControlSpec& blink = b.add("Timer_Mgr", ControlKind::Timer, w, {});
    blink.interval = 1000;
    blink.enabled = false;
}

std::vector<ControlSpec> buildLayout() {
    LayoutBuilder b;
    addTopArea(b);
    addConnectionGroup(b);
    addLowerArea(b);
    addTimers(b);
    return b.take();
}

}  // namespace

const std::vector<ControlSpec>& windowLayout() {
    static const std::vector<ControlSpec> layout = buildLayout();
    return layout;
}

const ControlSpec* findControlSpec(std::string_view name) {
    for (const ControlSpec& entry : windowLayout())
        if (entry.name == name) return &entry;
    return nullptr;
}

}  // namespace k54
