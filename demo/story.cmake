# The story's pictures and voices: the message window and the speaker's
# name plate ("sys\\<name>", text grids in demo/story drawn 4 times larger
# with their mask) and the voiced lines ("cdvaw\\mi\\<name>", tones in
# demo/story/voice).
file(GLOB story_grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/story/*.txt)
foreach(src IN LISTS story_grids)
  get_filename_component(stem ${src} NAME_WE)
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-picture --mask --scale 4 ${CMAKE_CURRENT_SOURCE_DIR}/${src} ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/${src}
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()
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
