// A window that opens in place of T, with T's layout, but whose loading only tells the
// test: for following one window to the next without running the next one.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "forms/Program.h"

template <class T>
class StandIn : public T {
public:
    explicit StandIn(std::function<void(ui::Form&)> loaded) : loaded_(std::move(loaded)) {}

private:
    void Form_Load() override { loaded_(*this); }
    std::function<void(ui::Form&)> loaded_;
};

// Until putBack<T>(), ui::show<T>() opens a stand-in that calls loaded while it loads.
template <class T>
void standIn(std::function<void(ui::Form&)> loaded) {
    ui::standIn<T>([loaded] { return std::make_unique<StandIn<T>>(loaded); });
}

template <class T>
void putBack() {
    ui::standIn<T>(nullptr);
}
