#pragma once

namespace qel {

class Beep
{
public:
    virtual ~Beep() = default;
    virtual void beep() = 0;
};

class QtBeep final : public Beep
{
public:
    void beep() override;
};

} // namespace qel
