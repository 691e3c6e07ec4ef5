#include "qt/qt_view_factory.h"

#include "qt/qt_address_book_view.h"
#include "qt/qt_character_view.h"

namespace corvane {

std::unique_ptr<AddressBookView> QtViewFactory::createAddressBookView() {
    return std::make_unique<QtAddressBookView>(m_parent);
}

std::unique_ptr<CharacterView> QtViewFactory::createCharacterView() {
    return std::make_unique<QtCharacterView>(m_parent);
}

} // namespace corvane
