# The pictures of the place map, the heroine circle and the results
# (demo/frame/<folder>/<name>.txt becomes "dwq\\<folder>\\<name>.dwq"):
# drawn as text grids and enlarged by the picture tool, 10 times unless
# listed here.
set(demo_frame_scales
  fp_place1 4 fp_place2 4 fp_place3 4 fp_chara1 4
  hs_ok 4 hs_left 4 hs_right 4 hs_plate 4 rs_plate1 5 rs_ok 4 t_results 4
  rs_get01 4 rs_get02 4 rs_get03 4 bg_results 4)
demo_picture_grids(frame ${demo_frame_scales})

# A result's voice ("cdvaw\\re\\re_river"), written as tones.
demo_voice(re_river frame/voice/re_river.tones.txt)
