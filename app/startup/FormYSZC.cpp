#include "startup/FormYSZC.h"

#include "startup/LegalTexts.h"

const ui::FormLayout FormYSZC::layout{.caption = L"Orvane隐私政策",
                                      .start = ui::Start::Centred,
                                      .bounds = ui::px(0, 0, 721, 478),
                                      .frame = ui::Frame::SizableTool,
                                      .icon = false,
                                      .escapeCloses = true,
                                      .controls = {legal::textWindow(legal::PrivacyPolicy)}};

FormYSZC::FormYSZC() : Form(layout) {}
