# The release packages: made once by tools/package.sh (which builds both Windows presets and
# stops at the first step that fails), then the installer's round trip under Wine.
add_test(NAME release_packages COMMAND ${CMAKE_SOURCE_DIR}/tools/package.sh)
add_test(NAME installer_round_trip COMMAND ${CMAKE_SOURCE_DIR}/tests/package/installer_round_trip.sh)
set_tests_properties(release_packages PROPERTIES FIXTURES_SETUP release_packages TIMEOUT 600)
set_tests_properties(installer_round_trip PROPERTIES FIXTURES_REQUIRED release_packages TIMEOUT 240
    ENVIRONMENT "WINEPREFIX=${KVMIDI_WINEPREFIX};WINEDEBUG=-all")
