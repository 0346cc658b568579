// card_shot PNG_PATH [light|dark [default]]: the card with every section and addition on (or
// with the default settings), drawn from one scripted sample, for the README. Wine has no adapter
// performance data, no PhysicalDisk counters and no battery, so the running card cannot show those;
// this shows what Windows does. The language is the program's (LUMETTA_LANG).
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/strings.h"
#include "app/text_ids.h"
#include "card/card_layout.h"
#include "card/card_painter.h"
#include "card/card_view.h"
#include "draw/renderer.h"
#include "png_win.h"
#include "support/factories.h"
#include "support/test_window.h"

namespace {

using namespace lumetta;

void Name(ProcessFigure& figure, std::u16string_view name, double value) {
  figure.nameLength = name.copy(figure.name.data(), figure.name.size());
  figure.value = value;
}

Snapshot Sample() {
  Snapshot s;
  s.cpuVendor = u"Intel";
  s.cpuModel = u"i7-12700K";
  s.cpuFrequencyMhz = 4650;
  s.cpuFrequencyValid = true;
  s.gpuVendor = u"NVIDIA";
  s.gpuModel = u"RTX 4070";
  s.cpuTotal = 0.23;
  s.cpuValid = true;
  s.gpuBusy = 0.41;
  s.gpuValid = true;
  for (int i = 0; i < 20; ++i) {
    s.cpuCores.push_back(0.1 + 0.4 * std::fabs(std::sin(i * 1.7)));
  }
  for (int i = 0; i < 60; ++i) {
    const double t = i / 6.0;
    s.cpuHistory.push(0.2 + 0.12 * std::sin(t) + 0.05 * std::sin(t * 3.1));
    s.gpuHistory.push(0.35 + 0.2 * std::sin(t * 0.7));
    s.netReceiveHistory.push(9e5 + 7e5 * std::fabs(std::sin(t * 1.3)));
    s.netSendHistory.push(9e4 + 6e4 * std::fabs(std::cos(t * 0.9)));
  }
  s.gpuDetails = {61.6, true, 2'400'000'000, 12'884'901'888, true};
  s.memory = {17'179'869'184ull * 10 / 16,
              17'179'869'184ull,
              1'288'490'188ull,
              15'032'385'536ull,
              21'474'836'480ull,
              MemoryPressure::Normal,
              true};
  s.netReceive = 1.5 * 1048576;
  s.netSend = 120 * 1024;
  s.netRatesValid = true;
  s.netLabel = u"Wi-Fi 6 \u00B7 HomeNet";
  s.disk = {335'007'449'088ull, 511'101'108'224ull, true};
  s.diskActivity = {4.2 * 1048576, 850 * 1024, true};
  s.battery = {true, 0.76, true, false, false, 2 * 3600 + 14 * 60, true};
  s.processes.valid = true;
  s.processes.cpuCount = s.processes.memoryCount = 3;
  Name(s.processes.cpu[0], u"chrome", 0.124);
  Name(s.processes.cpu[1], u"Code", 0.051);
  Name(s.processes.cpu[2], u"MsMpEng", 0.008);
  Name(s.processes.memory[0], u"chrome", 2.1 * 1073741824);
  Name(s.processes.memory[1], u"Code", 1.3 * 1073741824);
  Name(s.processes.memory[2], u"Teams", 0.9 * 1073741824);
  s.self = {0.004, 10'276'044, true};
  return s;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: card_shot PNG_PATH [light|dark [default]]\n");
    return 2;
  }
  const bool dark = argc < 3 || std::wstring(argv[2]) != L"light";
  ChooseLanguage();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const test::Factories factories;
  const bool everything = argc < 4 || std::wstring(argv[3]) != L"default";
  Settings settings;
  settings.showSelf = everything;
  for (const SettingsBool& entry : kOptInBools) {
    settings.*entry.field = everything;
  }
  const Snapshot snapshot = Sample();
  SYSTEMTIME day{};
  day.wYear = 2026;
  day.wMonth = 12;
  day.wDay = 7;
  day.wDayOfWeek = 1;
  wchar_t date[64] = {};
  const std::u16string picture = LoadText(kTextDatePattern);
  GetDateFormatEx(reinterpret_cast<const wchar_t*>(LocaleName().data()), 0, &day,
                  reinterpret_cast<const wchar_t*>(picture.c_str()), date, 64, nullptr);
  CardView view;
  BuildCardView({.snapshot = snapshot,
                 .settings = settings,
                 .date = reinterpret_cast<const char16_t*>(date),
                 .hour = 10,
                 .minute = 42,
                 .second = 20,
                 .sentences = false},
                CardWords(ProgramTexts()), view);
  const SectionLayout layout = StackSections(
      CardSections(settings, UpdateState::None, std::nullopt, std::nullopt, everything));
  const PixelSize size = CardWindowSize(96, 1.0, layout.totalHeight);
  test::Canvas canvas(size.width, size.height);
  Renderer renderer(factories.d2d.Get(), factories.dwrite.Get());
  renderer.PrintTo(canvas.dc(), canvas.Rect());
  if (!renderer.BeginFrame()) {
    return 1;
  }
  const Palette& palette = PaletteFor(dark);
  renderer.palette = &palette;
  renderer.FillRect({0, 0, static_cast<float>(size.width), static_cast<float>(size.height)},
                    ToD2D(palette.backdrop), 0);
  CardPainter().Paint(renderer, {view, snapshot, layout});
  renderer.EndFrame();
  if (!tools::SavePng(canvas.Read(), tools::WinePath(argv[1]).c_str())) {
    std::fprintf(stderr, "card_shot: could not write the PNG\n");
    return 1;
  }
  return 0;
}
