// What start-up needs of the profile chooser, so that start-up can be driven with a
// stand-in and the chooser's window needs nothing of start-up.
#pragma once

#include <string>

// The chooser's "do not show at start" check box (CHB1), a modal show whose result
// tells whether its start button closed it, and the profile selected in its list (LB1).
class ProfileChooser {
public:
    virtual ~ProfileChooser() = default;
    virtual void SetDoNotShowAtStart(bool checked) = 0;
    virtual bool ShowModal() = 0;
    virtual std::wstring SelectedProfile() const = 0;
    virtual bool DoNotShowAtStart() const = 0;
};
