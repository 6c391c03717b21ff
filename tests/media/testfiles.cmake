# The makers of sound files shared by the media tests and the audio decoding benchmark.
if(NOT TARGET vexa_media_testfiles)
  pkg_check_modules(VEXA_TEST_ENCODERS REQUIRED IMPORTED_TARGET
    vorbisenc vorbis ogg flac libavformat libavcodec libavutil libswresample)
  add_library(vexa_media_testfiles STATIC ${CMAKE_CURRENT_LIST_DIR}/audio_test_files.cpp)
  target_link_libraries(vexa_media_testfiles PUBLIC vexa_media PRIVATE PkgConfig::VEXA_TEST_ENCODERS)
  target_include_directories(vexa_media_testfiles PUBLIC ${CMAKE_CURRENT_LIST_DIR})
endif()
