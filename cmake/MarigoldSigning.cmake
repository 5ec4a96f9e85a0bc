# Authenticode signing of what ships, when the publisher gives a certificate and its key. Without
# them nothing is signed and nothing is needed.
set(MARIGOLD_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate chain (PEM or DER); empty: nothing is signed")
set(MARIGOLD_SIGN_KEY "" CACHE FILEPATH "The certificate's private key (PEM or DER)")
set(MARIGOLD_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file holding the key's password, if it has one")
set(MARIGOLD_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamping service; empty: no countersignature, and the signing time is the source's date")

if(MARIGOLD_SIGN_CERT)
  if(NOT MARIGOLD_SIGN_KEY)
    message(FATAL_ERROR "MARIGOLD_SIGN_CERT is set: MARIGOLD_SIGN_KEY must name its private key")
  endif()
  foreach(file MARIGOLD_SIGN_CERT MARIGOLD_SIGN_KEY MARIGOLD_SIGN_PASSWORD_FILE)
    if(${file} AND NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file}: ${${file}} does not exist")
    endif()
  endforeach()
  find_program(MARIGOLD_OSSLSIGNCODE osslsigncode REQUIRED)
endif()

# Signs the target's file in place as the last step of its link, so that whatever depends on the
# file (the setup embeds the saver) only ever sees it signed.
#   marigold_sign(target "Description shown by Windows")
function(marigold_sign target description)
  if(NOT MARIGOLD_SIGN_CERT)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
            "-DFILE=$<TARGET_FILE:${target}>" "-DDESCRIPTION=${description}" "-DURL=${PUBLISHER_SITE_URL}"
            "-DTOOL=${MARIGOLD_OSSLSIGNCODE}" "-DCERT=${MARIGOLD_SIGN_CERT}" "-DKEY=${MARIGOLD_SIGN_KEY}"
            "-DPASSWORD_FILE=${MARIGOLD_SIGN_PASSWORD_FILE}" "-DTIMESTAMP_URL=${MARIGOLD_SIGN_TIMESTAMP_URL}"
            "-DSOURCE_DIR=${CMAKE_SOURCE_DIR}"
            -P "${CMAKE_SOURCE_DIR}/cmake/sign.cmake"
    COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
    VERBATIM)
endfunction()
