# The sound layer over real SDL2 audio and libmpg123, with SDL's disk and dummy audio drivers.
qorx_add_test(qorx_sound_tests sound/SoundTest.cpp)
target_link_libraries(qorx_sound_tests PRIVATE qorx_fsound qorx_mp3_frames qorx_test_support PkgConfig::SDL2)
target_compile_definitions(qorx_sound_tests PRIVATE QORX_SOUNDTRACK="${PROJECT_SOURCE_DIR}/assets/larkspin.mp3")
