#include "startup/FormYHXY.h"

#include "startup/LegalTexts.h"

const ui::FormLayout FormYHXY::layout{.caption = L"Orvane用户协议",
                                      .start = ui::Start::Centred,
                                      .bounds = ui::px(0, 0, 721, 478),
                                      .frame = ui::Frame::SizableTool,
                                      .icon = false,
                                      .escapeCloses = true,
                                      .controls = {legal::textWindow(legal::UserAgreement)}};

FormYHXY::FormYHXY() : Form(layout) {}
