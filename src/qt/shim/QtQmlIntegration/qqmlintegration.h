#pragma once

// Qt TextToSpeech's header marks its class for QML, from a package Debian 12
// ships apart (qt6-declarative-dev). Corvane uses no QML: the mark is empty
// here, which changes nothing in the class.
#ifndef QML_ELEMENT
#define QML_ELEMENT
#endif
