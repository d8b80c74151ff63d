# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads).
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The Qt for Windows comes from QUORVEL_QT_WIN (a cache variable or the environment); when unset,
# ../shared/qt6-mingw64 beside the checkout is used if it exists. scripts/build-qt-win64 builds one.
# Qt's host tools (moc, uic, rcc) come from the build machine's own Qt of the same version.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_quorvel_triplet x86_64-w64-mingw32)
find_program(_quorvel_cc NAMES ${_quorvel_triplet}-gcc-posix ${_quorvel_triplet}-gcc)
find_program(_quorvel_cxx NAMES ${_quorvel_triplet}-g++-posix ${_quorvel_triplet}-g++)
find_program(_quorvel_rc NAMES ${_quorvel_triplet}-windres)
set(CMAKE_C_COMPILER ${_quorvel_cc})
set(CMAKE_CXX_COMPILER ${_quorvel_cxx})
set(CMAKE_RC_COMPILER ${_quorvel_rc})

if(NOT QUORVEL_QT_WIN)
    if(DEFINED ENV{QUORVEL_QT_WIN})
        set(QUORVEL_QT_WIN "$ENV{QUORVEL_QT_WIN}")
    elseif(EXISTS "${CMAKE_CURRENT_LIST_DIR}/../../shared/qt6-mingw64")
        get_filename_component(QUORVEL_QT_WIN "${CMAKE_CURRENT_LIST_DIR}/../../shared/qt6-mingw64" ABSOLUTE)
    endif()
endif()
if(QUORVEL_QT_WIN)
    set(QUORVEL_QT_WIN "${QUORVEL_QT_WIN}" CACHE PATH "Qt 6 built for Windows (x86_64, mingw-w64)")
    # try_compile projects read this file again; hand them the same Qt.
    set(ENV{QUORVEL_QT_WIN} "${QUORVEL_QT_WIN}")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${_quorvel_triplet} ${QUORVEL_QT_WIN})
list(APPEND CMAKE_PREFIX_PATH ${QUORVEL_QT_WIN})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

if(NOT QT_HOST_PATH)
    set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine (moc, uic, rcc)")
endif()
if(NOT QT_HOST_PATH_CMAKE_DIR AND EXISTS /usr/lib/x86_64-linux-gnu/cmake/Qt6)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
endif()
