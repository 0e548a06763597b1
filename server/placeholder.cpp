namespace {} // window modules land here
