# The mini-games' card and tile sheets ("sys\\mg_trump", "sys\\mg_tile"),
# drawn by zor-sheet from their descriptions in demo/minigame.
foreach(stem mg_trump mg_tile)
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-sheet ${CMAKE_CURRENT_SOURCE_DIR}/minigame/${stem}.txt ${out}
    DEPENDS zor-sheet ${CMAKE_CURRENT_SOURCE_DIR}/minigame/${stem}.txt
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()
