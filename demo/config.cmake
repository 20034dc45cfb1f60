# The configuration screen's, system menu's and name entry's pictures, the
# story's message window, name plate and timer digits ("sys\\<name>", text
# grids in demo/config, demo/sysmenu and demo/story drawn 4 times larger
# with their mask) and the configuration's samples
# ("vaw\\sys\\<name>", tones in demo/config/tones).
file(GLOB config_grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/config/*.txt ${CMAKE_CURRENT_SOURCE_DIR}/sysmenu/*.txt
  ${CMAKE_CURRENT_SOURCE_DIR}/story/*.txt)
foreach(src IN LISTS config_grids)
  get_filename_component(stem ${src} NAME_WE)
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-picture --mask --scale 4 ${CMAKE_CURRENT_SOURCE_DIR}/${src} ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/${src}
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()
file(GLOB config_tones RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/config/tones/*.txt)
foreach(src IN LISTS config_tones)
  get_filename_component(stem ${src} NAME_WE)
  set(out ${DEMO_OUT}/vaw/sys/${stem}.vaw)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/vaw/sys
    COMMAND zor-sound voice ${CMAKE_CURRENT_SOURCE_DIR}/${src} ${out}
    DEPENDS zor-sound ${CMAKE_CURRENT_SOURCE_DIR}/${src}
    COMMENT "demo: vaw/sys/${stem}.vaw")
  list(APPEND demo_outputs ${out})
endforeach()
