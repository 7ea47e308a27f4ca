# The real program under Xvfb, driven with xdotool.
add_test(NAME e2e COMMAND xvfb-run -a -s "-screen 0 1024x768x24"
         bash ${PROJECT_SOURCE_DIR}/scripts/e2e.sh $<TARGET_FILE:tintora> ${PROJECT_BINARY_DIR}/e2e-screenshot.png)
set_tests_properties(e2e PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
