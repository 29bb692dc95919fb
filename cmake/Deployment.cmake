# Addresses of the online services are deployment values. The defaults point
# at the local stand-in server (standin/), which the run script starts on
# these ports; every value can be overridden at run time from the environment
# (see app/store/Deployment.h).
set(ZOCUT_API_BASE "http://127.0.0.1:8765/api/" CACHE STRING "Web API base address")
set(ZOCUT_DESIGN_HOST "http://127.0.0.1:8765/" CACHE STRING "Design-data host")
set(ZOCUT_NESTING_HOST "127.0.0.1" CACHE STRING "Nesting server host name")
set(ZOCUT_NESTING_USER "nesting@example.com" CACHE STRING "Nesting server account name")
set(ZOCUT_IMAGE_SERVER_HOST "127.0.0.1" CACHE STRING "Background-removal server IPv4 address")
