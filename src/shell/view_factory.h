#pragma once

#include <memory>

namespace corvane {

class AddressBookView;
class CharacterView;

// Creates the windows that open on demand, so tests can hand out fakes.
class ViewFactory {
public:
    virtual ~ViewFactory() = default;
    virtual std::unique_ptr<AddressBookView> createAddressBookView() = 0;
    virtual std::unique_ptr<CharacterView> createCharacterView() = 0;
};

} // namespace corvane
