# The story's voiced lines ("cdvaw\\<first two letters>\\<name>", tones in
# demo/story/voice); its pictures are made with the configuration's
# (config.cmake).
file(GLOB story_voices RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/story/voice/*.tones.txt)
foreach(src IN LISTS story_voices)
  get_filename_component(stem ${src} NAME_WE)
  string(SUBSTRING ${stem} 0 2 folder)
  set(out ${DEMO_OUT}/cdvaw/${folder}/${stem}.vaw)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/cdvaw/${folder}
    COMMAND zor-sound voice ${CMAKE_CURRENT_SOURCE_DIR}/${src} ${out}
    DEPENDS zor-sound ${CMAKE_CURRENT_SOURCE_DIR}/${src}
    COMMENT "demo: cdvaw/${folder}/${stem}.vaw")
  list(APPEND demo_outputs ${out})
endforeach()
