# The groups that DataSetGroups.sh made, in the order the build merges them after the
# hand-made ones. Written by DataSetGroups.sh.
set(DRUX_DATA_SET_MADE_GROUPS
    DefaultDataSetDdk1.h
    DefaultDataSetDdk2.h
    DefaultDataSetToolchain1.h
    DefaultDataSetToolchain2.h
    DefaultDataSetToolchain3.h
    DefaultDataSetToolchain4.h
    DefaultDataSetToolchain5.h
    DefaultDataSetToolchain6.h
    DefaultDataSetToolchain7.h
    DefaultDataSetToolchain8.h
    DefaultDataSetToolchain9.h
    DefaultDataSetToolchain10.h
    DefaultDataSetToolchain11.h
    DefaultDataSetToolchain12.h
    DefaultDataSetToolchain13.h
    DefaultDataSetToolchain14.h
    DefaultDataSetToolchain15.h
    DefaultDataSetToolchain16.h
    DefaultDataSetToolchain17.h
    DefaultDataSetToolchain18.h
)
