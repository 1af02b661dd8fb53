# -DXYH_SANITIZE=ON builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer; undefined behaviour aborts so CTest sees it.
option(XYH_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# -DXYH_TSAN=ON builds everything with ThreadSanitizer (the tsan preset);
# it cannot share a build with AddressSanitizer.
option(XYH_TSAN "Build with ThreadSanitizer" OFF)
if(XYH_SANITIZE AND XYH_TSAN)
  message(FATAL_ERROR "XYH_SANITIZE and XYH_TSAN cannot be used in one build")
endif()
if(XYH_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
if(XYH_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=thread)
endif()
