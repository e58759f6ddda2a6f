#pragma once

#include <array>

#include "panel/controls.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tq {

// One pointer per control of the window, named as the front panel names
// them; control arrays are std::array indexed like the panel's own arrays.
// Kinds: Frame (frame), Label (label), QLineEdit (text box), QPushButton
// (command button), QCheckBox (check box), PictureCheckBox (graphical check
// box), QComboBox (combo box), Shape, Line, PlotSurface (picture box), Timer.
struct Panel {
    QWidget* Form1 = nullptr;

    // Frames
    Frame* Frame1 = nullptr;
    Frame* Frame4 = nullptr;
    std::array<Frame*, 10> FrameCH{};
    Frame* Frame3 = nullptr;
    std::array<Frame*, 2> FrameY1{};
    std::array<Frame*, 2> FrameX{};
    Frame* FrameMath = nullptr;
    Frame* Frame5 = nullptr;
    Frame* FrameMsg = nullptr;
    Frame* Frame8 = nullptr;
    Frame* Frame9 = nullptr;
    Frame* FramePoint1 = nullptr;
    Frame* FramePoint = nullptr;
    Frame* FrameMa = nullptr;
    Frame* FrameOther = nullptr;
    Frame* Frame6 = nullptr;
    Frame* Frame7 = nullptr;
    Frame* Frame2 = nullptr;

    // Top strip and loose controls
    QPushButton* Command1 = nullptr;
    std::array<PictureCheckBox*, 2> ChkTest{};
    PictureCheckBox* ChkScanMode = nullptr;
    std::array<Label*, 8> Label2{};  // 0..4 top strip, 5..7 in FrameOther
    QLineEdit* TxtChNo = nullptr;
    QComboBox* CboPoint = nullptr;
    QLineEdit* TxtRecordLen = nullptr;
    QLineEdit* TxtSleep = nullptr;
    QPushButton* CmdOther = nullptr;
    QPushButton* CmdEnd = nullptr;
    QPushButton* ComSaveFrame = nullptr;
    Label* Label3 = nullptr;
    QLineEdit* TxtPoint1 = nullptr;
    QLineEdit* TxtCurPoint = nullptr;
    std::array<QPushButton*, 2> CmdMove1{};
    std::array<QPushButton*, 2> CmdMove2{};
    QPushButton* ComdReadMem = nullptr;
    QLineEdit* Text9 = nullptr;
    Timer* Timer1 = nullptr;

    // Chart area
    QCheckBox* ChkPoint = nullptr;
    std::array<Label*, 10> Lab1x{};
    std::array<Shape*, 11> Shape1{};  // 0..9 channel legend, 10 math legend
    std::array<QComboBox*, 10> CboFunc{};
    std::array<QComboBox*, 10> CboRange{};
    std::array<QComboBox*, 10> CboFilter{};
    std::array<QCheckBox*, 10> ChkCH{};
    std::array<QComboBox*, 2> CboScale{};
    PlotSurface* PicScope = nullptr;
    Shape* Shape2 = nullptr;
    std::array<Line*, 2> LineYhl{};
    Line* LineX0 = nullptr;
    Line* LineY0 = nullptr;
    std::array<Line*, 20> LineX{};
    std::array<Line*, 11> LineY{};
    std::array<Label*, 13> LabY{};
    std::array<Label*, 13> LabY1{};
    std::array<Label*, 11> LabX{};
    std::array<Label*, 11> LabX1{};
    std::array<Label*, 7> Label1{};  // 0,1 math row; 2..5 Frame7; 6 FrameMa
    std::array<QComboBox*, 2> Cbo1{};
    QComboBox* Cbo2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QCheckBox* ChkMath = nullptr;
    Label* LabSN = nullptr;

    // Live read-out
    std::array<Label*, 10> Lab1f{};
    std::array<QLineEdit*, 10> TxtDshow{};

    // Pop-up and service frames
    Label* LabMsg = nullptr;
    Label* Label4 = nullptr;
    Label* Label7 = nullptr;
    Label* Label5 = nullptr;
    QLineEdit* TxtFileName = nullptr;
    QPushButton* CmdSave = nullptr;
    Label* Label6 = nullptr;
    Shape* Shape3 = nullptr;
    std::array<QPushButton*, 2> Command2{};
    QLineEdit* Text10 = nullptr;
    QLineEdit* Text11 = nullptr;
    QCheckBox* ChkPoint1 = nullptr;
    std::array<QPushButton*, 2> CmdMove{};
    QLineEdit* TxtPoint = nullptr;
    QLineEdit* TxtPointValue = nullptr;
    std::array<QPushButton*, 2> CmdUD{};
    QLineEdit* TxtScanTimer = nullptr;
    QLineEdit* TxtTrigDelay = nullptr;
    QLineEdit* Text5 = nullptr;
    std::array<QPushButton*, 2> Command5{};
    std::array<QPushButton*, 2> Command6{};
    Label* LabF7 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    std::array<QLineEdit*, 2> TxtRange{};
    QCheckBox* Check1 = nullptr;
    std::array<QLineEdit*, 10> TxtCal{};
};

// Builds every control on form (the window's client area, 15240 x 9570
// twips) in its built-in state and fills panel. Events are not wired here.
void buildPanel(QWidget* form, Panel& panel);

}  // namespace tq
