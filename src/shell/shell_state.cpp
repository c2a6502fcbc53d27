// Process-wide shell state.
