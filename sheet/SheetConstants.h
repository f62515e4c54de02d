#pragma once
// Constants of the spreadsheet object model, with their published values.

namespace sheet {

constexpr int xlCalculationManual = -4135;
constexpr int xlCalculationAutomatic = -4105;
constexpr int xlShiftDown = -4121;
constexpr int xlGeneral = 1;
constexpr int xlFill = 5;
constexpr int xlCenterAcrossSelection = 7;
constexpr int xlCenter = -4108;
constexpr int xlLeft = -4131;
constexpr int xlRight = -4152;
constexpr int xlJustify = -4130;
constexpr int xlDistributed = -4117;
constexpr int xlInsideVertical = 11;
constexpr int xlNone = -4142;
constexpr int xlLineStyleNone = -4142;
constexpr int xlA1 = 1;

}  // namespace sheet
