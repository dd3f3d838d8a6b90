# Shared build settings and helpers for every folder.

# The program folder a user would unpack: Pairwright.exe with ui/ and lan/ beside it.
set(PW_DIST_DIR ${CMAKE_BINARY_DIR}/../dist CACHE PATH "Runnable program folder")
# The zip and the installer made from that folder.
set(PW_RELEASE_DIR ${CMAKE_BINARY_DIR}/../release CACHE PATH "Release packages")
set(PW_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(PW_RELEASE_ZIP ${PW_RELEASE_DIR}/Pairwright-${PW_VERSION}-win64.zip)
set(PW_RELEASE_SETUP ${PW_RELEASE_DIR}/Pairwright-${PW_VERSION}-setup.exe)

# Boost for the cross compiler: only the boost folder, never the host's /usr/include.
if(WIN32)
    set(PW_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
    file(MAKE_DIRECTORY ${PW_BOOST_INCLUDE})
    file(CREATE_LINK /usr/include/boost ${PW_BOOST_INCLUDE}/boost SYMBOLIC)
else()
    set(PW_BOOST_INCLUDE /usr/include)
endif()

# What every target of ours builds with: the warnings, the include folders and the platform definitions.
add_library(pw_build_options INTERFACE)
target_compile_options(pw_build_options INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align
    -Wmissing-declarations -Wnull-dereference -Wimplicit-fallthrough)
if(PW_WERROR)
    target_compile_options(pw_build_options INTERFACE -Werror)
endif()
target_include_directories(pw_build_options INTERFACE ${CMAKE_SOURCE_DIR})
target_include_directories(pw_build_options SYSTEM INTERFACE ${PW_BOOST_INCLUDE})
if(WIN32)
    target_compile_definitions(pw_build_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
        _WIN32_WINNT=0x0601 WINVER=0x0601)
    target_link_options(pw_build_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
if(PW_SANITIZE STREQUAL "asan")
    target_compile_options(pw_build_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    target_link_options(pw_build_options INTERFACE -fsanitize=address,undefined)
elseif(PW_SANITIZE STREQUAL "tsan")
    target_compile_options(pw_build_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(pw_build_options INTERFACE -fsanitize=thread)
endif()
if(PW_FUZZ)
    target_compile_options(pw_build_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -g
        -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/cmake/fuzz-coverage-ignore.txt)
    target_link_options(pw_build_options INTERFACE -fsanitize=address,undefined)
endif()

# GoogleTest from Debian's sources, built for whichever target this tree compiles.
macro(pw_setup_gtest)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(NOT WIN32)
        # Sanitizer flags must reach gtest too, or container overflow checks misfire.
        foreach(t gtest gtest_main gmock gmock_main)
            if(PW_SANITIZE STREQUAL "asan")
                target_compile_options(${t} PRIVATE -fsanitize=address,undefined)
            elseif(PW_SANITIZE STREQUAL "tsan")
                target_compile_options(${t} PRIVATE -fsanitize=thread)
            endif()
        endforeach()
    endif()
endmacro()

# pw_add_test(NAME <name> SOURCES ... [LIBS ...] [LABELS ...])
# One executable per area: each Wine start costs about a second, so areas keep their tests together.
function(pw_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main pw_build_options)
    if(WIN32)
        set_target_properties(${T_NAME} PROPERTIES WIN32_EXECUTABLE OFF)
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
    set_tests_properties(${T_NAME} PROPERTIES
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} TIMEOUT 600 LABELS "${T_LABELS}")
endfunction()

# pw_add_fuzzer(NAME <name> SOURCES ... [LIBS ...])
function(pw_add_fuzzer)
    cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${F_NAME} ${F_SOURCES})
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS} pw_build_options)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY PW_FUZZERS ${F_NAME})
endfunction()
