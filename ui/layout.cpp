// SPDX-License-Identifier: MIT
#include "ui/layout.h"

#include <cstring>

const FontSpec kWindowFont{"System", 11, true, false};
const char *const kMakerAddress = "https://cheques.example/";

namespace
{
constexpr FontSpec kSans13{"MS Sans Serif", 13, false, false};
constexpr FontSpec kSans11{"MS Sans Serif", 11, false, false};
constexpr FontSpec kWindow{"System", 11, true, false};
constexpr FontSpec kTotals{"MS Serif", 16, true, false};
constexpr QRgb kNavy = 0xff000080;
constexpr QRgb kBlue = 0xff0000ff;
constexpr QRgb kTeal64 = 0xff004040;
constexpr QRgb kWindowText = 0xff000000;
} // namespace

// Back to front, as the window stacks them.
const ControlLayout kMainWindowLayout[] = {
    {"Image1", "", {-1, -1, 517, 531}, kWindow, "", "", 0},
    {"Label6", "", {22, 43, 32, 16}, kSans13, "Hoje:", "", 0},
    {"lDATA", "", {60, 43, 72, 16}, kWindow, "", "", 0},
    {"BitBtn3", "", {441, 498, 62, 25}, kSans13, "&Sair", "", 0},
    {"BitBtn2", "", {10, 498, 85, 25}, kSans13, "Im&primir", "", 0},
    {"BitBtn1", "", {335, 498, 91, 25}, kSans13, "&Reiniciar", "", 0},
    {"Image2", "", {363, 0, 151, 59}, kWindow, "", "", 0},
    {"Label1", "", {370, 55, 139, 13}, {"MS Sans Serif", 11, false, true}, "", "", kBlue},
    {"Panel2", "", {0, 69, 514, 68}, kWindow, "", "", 0},
    {"Panel3", "", {0, 137, 514, 353}, kWindow, "", "", 0},
    // The header panel.
    {"Label7", "Panel2", {3, 10, 0, 0}, kSans13, "Data Base:", "", 0},
    {"DATABASE", "Panel2", {82, 7, 82, 24}, {"System", 13, true, false}, "", "", 0},
    {"SpeedButton2", "Panel2", {164, 8, 24, 23}, kWindow, "", "", 0},
    {"RadioButton1", "Panel2", {207, 5, 90, 17}, kSans11, "Juros Simples", "", 0},
    {"RadioButton2", "Panel2", {207, 20, 104, 17}, kSans11, "Juros Compostos", "", 0},
    {"Label8", "Panel2", {335, 10, 0, 0}, kSans13, "Taxa Juros:", "", 0},
    {"TAXA",
     "Panel2",
     {409, 7, 55, 24},
     {"System", 15, true, false},
     "",
     "Digite a taxa do cálculo",
     0},
    {"Label9", "Panel2", {466, 10, 0, 0}, kWindow, "% a.m.", "", kNavy},
    {"Label5", "Panel2", {3, 40, 0, 0}, kSans13, "Observação:", "", 0},
    {"LEMBRETE",
     "Panel2",
     {82, 37, 343, 24},
     kWindow,
     "",
     "Digite algo para que se lembre do que se trata",
     0},
    {"BT1", "Panel2", {427, 35, 82, 29}, kSans13, "&Gravar", "", 0},
    // The line panel.
    {"DBGrid1", "Panel3", {26, 6, 454, 287}, kSans13, "", "Digite <Ctrl+Deltete> para Apagar", 0},
    {"Shape1", "Panel3", {27, 295, 119, 25}, kWindow, "", "", 0},
    {"Shape2", "Panel3", {225, 295, 119, 25}, kWindow, "", "", 0},
    {"Shape4", "Panel3", {343, 295, 119, 25}, kWindow, "", "", 0},
    {"lVALOR", "Panel3", {31, 297, 113, 19}, kTotals, "0.00", "", kWindowText},
    {"lJUROS", "Panel3", {230, 297, 113, 19}, kTotals, "0.00", "", kTeal64},
    {"lVALORACUM", "Panel3", {346, 297, 113, 19}, kTotals, "0.00", "", kNavy},
    {"DBNavigator1", "Panel3", {27, 322, 216, 28}, kWindow, "", "", 0},
};
const int kMainWindowLayoutCount = int(sizeof kMainWindowLayout / sizeof kMainWindowLayout[0]);

const ControlLayout *FindLayout(const char *name)
{
    for (const ControlLayout &row : kMainWindowLayout)
        if (std::strcmp(row.name, name) == 0)
            return &row;
    return nullptr;
}
