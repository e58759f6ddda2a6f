# Installs the udev rule where udev reads it. Runs at install time, so it
# sees the prefix `cmake --install --prefix` chose. udev reads the
# distribution's rules from /usr/lib/udev/rules.d and the administrator's from
# /etc/udev/rules.d, never anything under /usr/local or /opt: a build installed
# elsewhere puts its rule in /etc. Expects TQ_UDEV_RULE (the file) and
# TQ_UDEV_RULES_DIR (a fixed folder, or empty).
string(REGEX REPLACE "(.)/+$" "\\1" prefix "${CMAKE_INSTALL_PREFIX}")
if(TQ_UDEV_RULES_DIR)
  set(rulesDir "${TQ_UDEV_RULES_DIR}")
elseif(prefix STREQUAL "/usr")
  set(rulesDir /usr/lib/udev/rules.d)
else()
  set(rulesDir /etc/udev/rules.d)
endif()

set(reload "sudo udevadm control --reload && sudo udevadm trigger, then re-plug the meter")
if("$ENV{DESTDIR}" STREQUAL "")
  execute_process(COMMAND test -d "${rulesDir}" -a -w "${rulesDir}" RESULT_VARIABLE notWritable)
  if(notWritable)
    message(STATUS "Skipping the udev rule: ${rulesDir} is missing or not writable. To let users "
                   "open the meter without root: sudo install -m 644 ${TQ_UDEV_RULE} "
                   "/etc/udev/rules.d/ && ${reload}")
    return()
  endif()
endif()

file(INSTALL DESTINATION "${rulesDir}" TYPE FILE FILES "${TQ_UDEV_RULE}")
if("$ENV{DESTDIR}" STREQUAL "")
  message(STATUS "udev reads the new rule after: ${reload}")
endif()
