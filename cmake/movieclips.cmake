# Movie clips for the tests, the fuzz seeds and the benchmarks, made by the
# ffmpeg tool with its defaults for ".wmv" (MS-MPEG4 v3 video, WMA v2 sound):
# ffmpeg's test picture at 160x120 and 10 frames a second with a 440 Hz tone,
# one second long; the same picture without sound. Without the tool (a tree
# configured only to play) there are no clips.
find_program(ZOR_FFMPEG ffmpeg)
set(ZOR_MOVIE_CLIPS ${PROJECT_BINARY_DIR}/movie-clips)
if(ZOR_FFMPEG)
  set(clip_picture -f lavfi -i testsrc=size=160x120:rate=10:duration=1)
  set(clip_tone -f lavfi -i sine=frequency=440:duration=1:sample_rate=44100)
  add_custom_command(OUTPUT ${ZOR_MOVIE_CLIPS}/clip.wmv
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZOR_MOVIE_CLIPS}
    COMMAND ${ZOR_FFMPEG} -v error -y ${clip_picture} ${clip_tone} -fflags +bitexact
            ${ZOR_MOVIE_CLIPS}/clip.wmv
    COMMENT "movie clip: clip.wmv")
  add_custom_command(OUTPUT ${ZOR_MOVIE_CLIPS}/silent.wmv
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZOR_MOVIE_CLIPS}
    COMMAND ${ZOR_FFMPEG} -v error -y ${clip_picture} -an -fflags +bitexact
            ${ZOR_MOVIE_CLIPS}/silent.wmv
    COMMENT "movie clip: silent.wmv")
  add_custom_target(zor_movie_clips ALL
    DEPENDS ${ZOR_MOVIE_CLIPS}/clip.wmv ${ZOR_MOVIE_CLIPS}/silent.wmv)
endif()
