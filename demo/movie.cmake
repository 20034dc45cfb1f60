# The sample game's movie ("movie\\default.wmv"): pictures and a tone drawn
# by zor-movieframes (3 s at 20 frames a second, one a game frame; 320 x 240), made into a
# movie by the ffmpeg tool with its defaults for ".wmv". Without the tool
# the game has no movie (the codec check then offers the missing-codec
# dialog).
if(ZOR_FFMPEG AND TARGET zor-movieframes)
  set(frames_dir ${CMAKE_CURRENT_BINARY_DIR}/movie-frames)
  set(out ${DEMO_OUT}/movie/default.wmv)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${frames_dir} ${DEMO_OUT}/movie
    COMMAND zor-movieframes ${frames_dir} 60 320 240
    COMMAND ${ZOR_FFMPEG} -v error -y -framerate 20 -i ${frames_dir}/frame%03d.ppm
            -i ${frames_dir}/tone.wav -fflags +bitexact ${out}
    DEPENDS zor-movieframes
    COMMENT "demo: movie/default.wmv")
  list(APPEND demo_outputs ${out})
endif()
